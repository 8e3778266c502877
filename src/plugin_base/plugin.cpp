#include "plugin_base/plugin.h"

#include <utility>

#include "classes/class_builder.h"

namespace tvx {

TVX_IMPLEMENT_CLASS(TJvPlugIn) {
  TVX_PROPERTY(Author);
  c.Collection("Commands", &TJvPlugIn::Commands);
  TVX_PROPERTY(Description);
  TVX_PROPERTY(Copyright);
  TVX_PROPERTY(InstanceCount);
  TVX_PROPERTY(PluginID);
  TVX_PROPERTY(PluginVersion);
  c.Event("OnPluginMessage", &TJvPlugIn::on_plugin_message_);
  c.Event("OnInitialize", &TJvPlugIn::on_initialize_);
  c.Event("OnConfigure", &TJvPlugIn::on_configure_);
}

TJvPlugIn::TJvPlugIn(TComponent* owner)
    : TDataModule(owner), commands_(CreateOwned<TJvPluginCommands>(this)) {
  SetWidth(100);
  SetHeight(100);
}

TJvPlugIn::~TJvPlugIn() = default;

const TClassInfo& TJvPlugIn::DescriptionBase() const { return TJvPlugIn::StaticClass(); }

void TJvPlugIn::FreeOwnedObjects() {
  commands_.reset();
  TDataModule::FreeOwnedObjects();
}

void TJvPlugIn::SetCommands(const TJvPluginCommands* value) {
  if (commands_ != nullptr) commands_->Assign(value);
}

void TJvPlugIn::DoPluginMessage(int32_t plugin_message, std::string message_text) {
  on_plugin_message_.Fire(this, plugin_message, std::move(message_text));
}

void TJvPlugIn::DoInitialize(bool& allow_load) { on_initialize_.Fire(this, allow_load); }

void TJvPlugIn::DoConfigure() { on_configure_.Fire(this); }

void TJvPlugIn::Configure() { DoConfigure(); }

bool TJvPlugIn::Initialize(TObject* host_object, TApplication* host_application,
                           const TFileName& file_name) {
  bool allow_load = true;
  host_application_ = host_application;
  file_name_ = file_name;
  host_object_ = host_object;
  DoInitialize(allow_load);
  return allow_load;
}

}  // namespace tvx
