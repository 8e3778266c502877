// One command of a plug-in object as the host holds it: IPluginCommand over a TJvPluginCommand.
// It holds a reference to its plug-in object, which owns the command, so that the command lives
// as long as the host holds it.
#pragma once

#include "com/com_ptr.h"
#include "module_boundary/com_object.h"
#include "plugin_base/plugin_command.h"
#include "tavolex/plugin.h"

namespace tvx {

class PluginObject;

class CommandObject final : public ComObject<tavolex::IPluginCommand> {
 public:
  // command belongs to owner's plug-in object. One reference, which the caller owns.
  CommandObject(PluginObject* owner, TJvPluginCommand* command);

  HRESULT STDMETHODCALLTYPE GetName(BSTR* text) override;
  HRESULT STDMETHODCALLTYPE GetCaption(BSTR* text) override;
  HRESULT STDMETHODCALLTYPE GetHint(BSTR* text) override;
  HRESULT STDMETHODCALLTYPE GetData(BSTR* text) override;
  HRESULT STDMETHODCALLTYPE GetDataBytes(SAFEARRAY** bytes) override;
  HRESULT STDMETHODCALLTYPE GetShortCut(USHORT* short_cut) override;
  HRESULT STDMETHODCALLTYPE GetBitmap(LONG* width, LONG* height, SAFEARRAY** pixels) override;
  // Fires the command's OnExecute with the command as Sender.
  HRESULT STDMETHODCALLTYPE Execute(IUnknown* sender) override;

 private:
  ~CommandObject() override;

  ComPtr<tavolex::IPlugin> owner_;
  TJvPluginCommand* command_;
};

}  // namespace tvx
