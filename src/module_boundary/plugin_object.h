// The plug-in object as the host holds it: IPlugin over a TJvPlugIn that it owns. Releasing the
// last reference (the commands handed out hold one each) frees the plug-in object, whose destroy
// handler runs first, and then the host application adapters that Initialize made. The last
// plug-in object of the module frees the forms still waiting for their release before it goes,
// and stops the user interface after (module_runtime.h).
#pragma once

#include <vector>

#include "classes/object.h"
#include "module_boundary/com_object.h"
#include "module_boundary/host_application_adapter.h"
#include "module_boundary/host_object_adapter.h"
#include "plugin_base/plugin.h"
#include "tavolex/plugin.h"

namespace tvx {

class PluginObject final : public ComObject<tavolex::IPlugin> {
 public:
  // Takes plugin over; one reference, which the caller owns.
  explicit PluginObject(TJvPlugIn* plugin);

  TJvPlugIn* Plugin() const { return plugin_.get(); }

  HRESULT STDMETHODCALLTYPE GetPluginID(BSTR* text) override;
  HRESULT STDMETHODCALLTYPE GetAuthor(BSTR* text) override;
  HRESULT STDMETHODCALLTYPE GetCopyright(BSTR* text) override;
  HRESULT STDMETHODCALLTYPE GetDescription(BSTR* text) override;
  HRESULT STDMETHODCALLTYPE GetPluginVersion(BSTR* text) override;
  HRESULT STDMETHODCALLTYPE GetInstanceCount(LONG* count) override;
  HRESULT STDMETHODCALLTYPE GetCommandCount(LONG* count) override;
  HRESULT STDMETHODCALLTYPE GetCommand(LONG index, tavolex::IPluginCommand** command) override;
  // The host object (may be null) and the host application are wrapped in adapters that live
  // as long as this object; the plug-in sees them as its HostObject and HostApplication.
  HRESULT STDMETHODCALLTYPE Initialize(IUnknown* host_object,
                                       tavolex::IHostApplication* application, BSTR file_name,
                                       VARIANT_BOOL* allow_load) override;
  HRESULT STDMETHODCALLTYPE Configure() override;
  HRESULT STDMETHODCALLTYPE PluginMessage(LONG message, BSTR text) override;

 private:
  ~PluginObject() override;

  TOwned<TJvPlugIn> plugin_;
  // One per Initialize; the latest may still be the module's application object until the
  // plug-in object's destroy handler has run.
  std::vector<TOwned<THostApplicationAdapter>> host_applications_;
  std::vector<TOwned<THostObjectAdapter>> host_objects_;
};

}  // namespace tvx
