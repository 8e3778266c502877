#include "test_classes.h"

#include "classes/class_builder.h"
#include "rtl/exceptions.h"

extern const char kTestModuleDescription[];
extern const char kTestModuleDerivedDescription[];
extern const char kTestOldOrderModuleDescription[];

namespace tvx::test {

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

TVX_IMPLEMENT_CLASS(TTestFont) {
  c.Property("Name", &TTestFont::name);
  c.Property("Size", &TTestFont::size);
}

void TTestFont::Assign(const TPersistent* source) {
  if (const auto* font = dynamic_cast<const TTestFont*>(source)) {
    name = font->name;
    size = font->size;
    return;
  }
  TPersistent::Assign(source);
}

TVX_IMPLEMENT_CLASS(TTestItem) {
  c.Property("Name", &TTestItem::name);
  c.Property("Value", &TTestItem::value);
  c.Event("OnPing", &TTestItem::on_ping);
}

std::string TTestItem::GetDisplayName() const {
  return name.empty() ? TCollectionItem::GetDisplayName() : name;
}

void TTestItem::Assign(const TPersistent* source) {
  if (const auto* item = dynamic_cast<const TTestItem*>(source)) {
    name = item->name;
    value = item->value;
    on_ping = item->on_ping;
    return;
  }
  TCollectionItem::Assign(source);
}

TVX_IMPLEMENT_CLASS(TTestItems) {}

void TTestItems::SetItemName(TCollectionItem* item) {
  auto* test_item = static_cast<TTestItem*>(item);
  if (test_item->name.empty()) test_item->name = "Item" + std::to_string(item->ID());
}

int TTestWidget::live = 0;

TVX_IMPLEMENT_CLASS(TTestWidget) {
  TVX_PROPERTY(Caption);
  c.Property("Buddy", &TTestWidget::buddy);
}

TTestWidget::~TTestWidget() {
  --live;
  Log().push_back("destroy " + Name());
}

void TTestWidget::SetCaption(const std::string& value) {
  caption = value;
  set_while_loading = ComponentState().Contains(csLoading);
}

void TTestWidget::Loaded() {
  TComponent::Loaded();
  Log().push_back("Loaded " + Name() + (buddy != nullptr ? " buddy " + buddy->Name() : ""));
}

void TTestWidget::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == buddy) buddy = nullptr;
}

TVX_IMPLEMENT_CLASS(TTestRoot) {
  c.Property("Text", &TTestRoot::text);
  c.Property("Number", &TTestRoot::number);
  c.Property("ShortCut", &TTestRoot::shortcut);
  c.Property("Flag", &TTestRoot::flag);
  c.Property("Ratio", &TTestRoot::ratio);
  const TEnumNames<TTestColor> colors = {
      {"tcRed", tcRed}, {"tcGreen", tcGreen}, {"tcBlue", tcBlue}};
  c.Property("Color", &TTestRoot::color, colors, "TTestColor");
  c.Property("Colors", &TTestRoot::colors, colors, "TTestColors");
  c.Property("Link", &TTestRoot::link);
  c.Object("Font", &TTestRoot::Font);
  c.Collection("Items", &TTestRoot::Items);
  c.Event("OnNotify", &TTestRoot::on_notify);
  c.Event("OnMessage", &TTestRoot::on_message);
  c.Event("OnQuery", &TTestRoot::on_query);
  TVX_HANDLER(HandleNotify);
  TVX_HANDLER(HandleMessage);
  TVX_HANDLER(HandleQuery);
  TVX_FIELD(Widget1);
  TVX_FIELD(Widget2);
  c.Uses<TTestWidget>();
}

TTestRoot::TTestRoot(TComponent* owner)
    : TComponent(owner), font_(CreateOwned<TTestFont>()), items_(CreateOwned<TTestItems>(this)) {}

TTestRoot::~TTestRoot() = default;

void TTestRoot::Loaded() {
  TComponent::Loaded();
  Log().push_back("Loaded " + Name());
}

void TTestRoot::HandleNotify(TObject* sender) {
  Log().push_back("HandleNotify from " + sender->ClassName());
}

void TTestRoot::HandleMessage(TObject*, int32_t value, std::string message) {
  Log().push_back("HandleMessage " + std::to_string(value) + " " + message);
}

void TTestRoot::HandleQuery(TObject*, bool& allow) {
  Log().push_back(std::string("HandleQuery ") + (allow ? "true" : "false"));
  allow = !allow;
}

int TTestModule::live = 0;
bool TTestModule::throw_in_events = false;

TVX_IMPLEMENT_CLASS(TTestModule) {
  TVX_PROPERTY(Caption);
  TVX_HANDLER(ModuleCreate);
  TVX_HANDLER(ModuleDestroy);
  c.Description(kTestModuleDescription);
}

TTestModule::TTestModule(TComponent* owner) : TDataModule(owner) {
  ++live;
  Log().push_back("constructor");
}

TTestModule::~TTestModule() {
  --live;
  Log().push_back("destructor");
}

void TTestModule::SetCaption(const std::string& value) {
  caption = value;
  captions.push_back(value);
}

void TTestModule::ModuleCreate(TObject* sender) {
  Log().push_back("OnCreate " + static_cast<TComponent*>(sender)->Name() + " " + caption);
  if (throw_in_events) throw EInvalidOperation("create failed");
}

void TTestModule::ModuleDestroy(TObject*) {
  Log().push_back("OnDestroy");
  if (throw_in_events) throw EInvalidOperation("destroy failed");
}

void TTestModule::AfterCreation() {
  TDataModule::AfterCreation();
  Log().push_back("AfterCreation");
}

void TTestModule::FreeOwnedObjects() {
  Log().push_back("FreeOwnedObjects");
  TDataModule::FreeOwnedObjects();
}

TVX_IMPLEMENT_CLASS(TTestModuleMiddle) {}

TVX_IMPLEMENT_CLASS(TTestModuleDerived) { c.Description(kTestModuleDerivedDescription); }

TVX_IMPLEMENT_CLASS(TTestOldOrderModule) { c.Description(kTestOldOrderModuleDescription); }

TVX_IMPLEMENT_CLASS(TTestBrokenModule) {}

TVX_IMPLEMENT_CLASS(TTestUndescribedModule) {}

TTestUndescribedModule::TTestUndescribedModule(TComponent* owner) : TDataModule(owner) {
  Create<TTestWidget>(this)->SetName("Part");
}

}  // namespace tvx::test
