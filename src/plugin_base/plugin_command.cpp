#include "plugin_base/plugin_command.h"

#include "classes/class_builder.h"

namespace tvx {

TVX_IMPLEMENT_CLASS(TJvPluginCommand) {
  c.Object("Bitmap", &TJvPluginCommand::Bitmap);
  TVX_PROPERTY(Caption);
  TVX_PROPERTY(Hint);
  TVX_PROPERTY(Data);
  TVX_PROPERTY(Name);
  TVX_PROPERTY(ShortCut);
  c.Event("OnExecute", &TJvPluginCommand::on_execute_);
}

TJvPluginCommand::TJvPluginCommand(TCollection* collection)
    : TCollectionItem(collection), bitmap_(CreateOwned<TBitmap>()) {}

TJvPluginCommand::~TJvPluginCommand() = default;

std::string TJvPluginCommand::GetDisplayName() const {
  return name_.empty() ? TCollectionItem::GetDisplayName() : name_;
}

void TJvPluginCommand::Assign(const TPersistent* source) {
  const auto* command = dynamic_cast<const TJvPluginCommand*>(source);
  if (command == nullptr) {
    TCollectionItem::Assign(source);
    return;
  }
  SetBitmap(command->Bitmap());
  caption_ = command->caption_;
  hint_ = command->hint_;
  data_ = command->data_;
  name_ = command->name_;
  short_cut_ = command->short_cut_;
  on_execute_ = command->on_execute_;
}

}  // namespace tvx
