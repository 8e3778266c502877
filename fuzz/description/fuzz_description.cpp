// Feeds arbitrary text to the stored-description reader as the description of a class that
// publishes every kind of property, event, handler and component field. Every rejection must
// be an error of the component model; anything else (another exception, a crash, a leak) is a
// finding.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "classes/bitmap.h"
#include "classes/class_builder.h"
#include "classes/description.h"

namespace tvx::fuzz {

enum TFuzzKind { fkOne, fkTwo, fkThree };

class TFuzzItem : public TCollectionItem {
  TVX_DECLARE_CLASS(TFuzzItem, TCollectionItem)
  explicit TFuzzItem(TCollection* collection) : TCollectionItem(collection) {}
  std::string name;
  TSet<TFuzzKind> kinds;
  TNotifyEvent on_run;
};

class TFuzzChild : public TComponent {
  TVX_DECLARE_CLASS(TFuzzChild, TComponent)
  explicit TFuzzChild(TComponent* owner) : TComponent(owner) {}
  TFuzzChild* peer = nullptr;
  TComponent* parent = nullptr;
  double weight = 0;
  void SetParentComponent(TComponent* value) override { parent = value; }
};

class TFuzzRoot : public TComponent {
  TVX_DECLARE_CLASS(TFuzzRoot, TComponent)
  explicit TFuzzRoot(TComponent* owner)
      : TComponent(owner),
        picture_(CreateOwned<TBitmap>()),
        items_(CreateOwned<TCollection>(TFuzzItem::StaticClass())) {}
  std::string text;
  int32_t number = 0;
  uint16_t small = 0;
  bool flag = false;
  TFuzzKind kind = fkOne;
  TFuzzChild* link = nullptr;
  TFuzzChild* First = nullptr;
  TEvent<bool&> on_query;
  TEvent<int32_t, std::string> on_message;
  TBitmap* Picture() const { return picture_.get(); }
  TCollection* Items() const { return items_.get(); }
  void Handle(TObject*) {}
  void HandleQuery(TObject*, bool& allow) { allow = !allow; }
  void HandleMessage(TObject*, int32_t, std::string) {}

 private:
  TOwned<TBitmap> picture_;
  TOwned<TCollection> items_;
};

const TEnumNames<TFuzzKind> kKinds = {{"fkOne", fkOne}, {"fkTwo", fkTwo}, {"fkThree", fkThree}};

TVX_IMPLEMENT_CLASS(TFuzzItem) {
  c.Property("Name", &TFuzzItem::name);
  c.Property("Kinds", &TFuzzItem::kinds, kKinds, "TFuzzKinds");
  c.Event("OnRun", &TFuzzItem::on_run);
}

TVX_IMPLEMENT_CLASS(TFuzzChild) {
  c.Property("Peer", &TFuzzChild::peer);
  c.Property("Weight", &TFuzzChild::weight);
}

TVX_IMPLEMENT_CLASS(TFuzzRoot) {
  c.Property("Text", &TFuzzRoot::text);
  c.Property("Number", &TFuzzRoot::number);
  c.Property("Small", &TFuzzRoot::small);
  c.Property("Flag", &TFuzzRoot::flag);
  c.Property("Kind", &TFuzzRoot::kind, kKinds, "TFuzzKind");
  c.Property("Link", &TFuzzRoot::link);
  c.Object("Picture", &TFuzzRoot::Picture);
  c.Collection("Items", &TFuzzRoot::Items);
  c.Event("OnQuery", &TFuzzRoot::on_query);
  c.Event("OnMessage", &TFuzzRoot::on_message);
  TVX_HANDLER(Handle);
  TVX_HANDLER(HandleQuery);
  TVX_HANDLER(HandleMessage);
  TVX_FIELD(First);
  c.Uses<TFuzzChild>();
}

}  // namespace tvx::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tvx;
  TOwned<fuzz::TFuzzRoot> root = CreateOwned<fuzz::TFuzzRoot>(nullptr);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    ApplyDescription(root.get(), text);
    // Whatever was bound must be callable.
    bool allow = true;
    root->on_query.Fire(root.get(), allow);
    root->on_message.Fire(root.get(), 1, "x");
  } catch (const EComponentError&) {
    // A rejected description: expected.
  }
  return 0;
}
