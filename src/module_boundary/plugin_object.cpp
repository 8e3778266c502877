#include "module_boundary/plugin_object.h"

#include <string>

#include "classes/application_hooks.h"
#include "module_boundary/boundary_errors.h"
#include "module_boundary/command_object.h"
#include "module_boundary/module_runtime.h"

namespace tvx {

PluginObject::PluginObject(TJvPlugIn* plugin) : plugin_(plugin) { PluginObjectMade(); }

PluginObject::~PluginObject() {
  const bool last = PluginObjectGoing();
  try {
    plugin_.reset();
  } catch (...) {
    // Destruction goes on; what failed is reported like any failure of a destroy event.
    ApplicationHandleException(nullptr, std::current_exception());
  }
  host_applications_.clear();
  host_objects_.clear();
  if (last) LastPluginObjectGone();
}

HRESULT PluginObject::GetPluginID(BSTR* text) {
  return Guarded(tavolex::IID_IPlugin, [&] { OutText(text, plugin_->PluginID()); });
}

HRESULT PluginObject::GetAuthor(BSTR* text) {
  return Guarded(tavolex::IID_IPlugin, [&] { OutText(text, plugin_->Author()); });
}

HRESULT PluginObject::GetCopyright(BSTR* text) {
  return Guarded(tavolex::IID_IPlugin, [&] { OutText(text, plugin_->Copyright()); });
}

HRESULT PluginObject::GetDescription(BSTR* text) {
  return Guarded(tavolex::IID_IPlugin, [&] { OutText(text, plugin_->Description()); });
}

HRESULT PluginObject::GetPluginVersion(BSTR* text) {
  return Guarded(tavolex::IID_IPlugin, [&] { OutText(text, plugin_->PluginVersion()); });
}

HRESULT PluginObject::GetInstanceCount(LONG* count) {
  return Guarded(tavolex::IID_IPlugin, [&] { *Required(count) = plugin_->InstanceCount(); });
}

HRESULT PluginObject::GetCommandCount(LONG* count) {
  return Guarded(tavolex::IID_IPlugin, [&] { *Required(count) = plugin_->Commands()->Count(); });
}

HRESULT PluginObject::GetCommand(LONG index, tavolex::IPluginCommand** command) {
  return Guarded(tavolex::IID_IPlugin, [&] {
    *Required(command) = nullptr;
    TJvPluginCommand* item = plugin_->Commands()->Items(index);  // EListError outside the range
    *command = (new CommandObject(this, item))->AsInterface();
  });
}

HRESULT PluginObject::Initialize(IUnknown* host_object, tavolex::IHostApplication* application,
                                 BSTR file_name, VARIANT_BOOL* allow_load) {
  return Guarded(tavolex::IID_IPlugin, [&] {
    *Required(allow_load) = VARIANT_FALSE;
    if (application == nullptr) {
      throw EInvalidArgument(E_POINTER, "Initialize needs the host's application object");
    }
    host_applications_.push_back(CreateOwned<THostApplicationAdapter>(nullptr, application));
    THostObjectAdapter* host = nullptr;
    if (host_object != nullptr) {
      host_objects_.push_back(CreateOwned<THostObjectAdapter>(host_object));
      host = host_objects_.back().get();
    }
    const bool allowed =
        plugin_->Initialize(host, host_applications_.back().get(), InText(file_name));
    *allow_load = allowed ? VARIANT_TRUE : VARIANT_FALSE;
  });
}

HRESULT PluginObject::Configure() {
  return Guarded(tavolex::IID_IPlugin, [&] { plugin_->Configure(); });
}

HRESULT PluginObject::PluginMessage(LONG message, BSTR text) {
  return Guarded(tavolex::IID_IPlugin, [&] { plugin_->DoPluginMessage(message, InText(text)); });
}

}  // namespace tvx
