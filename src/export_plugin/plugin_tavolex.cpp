#include "export_plugin/plugin_tavolex.h"

#include <utility>

#include "classes/class_builder.h"
#include "dialogs/export_options_dialog.h"
#include "export_plugin/application_handover.h"
#include "export_plugin/host_application.h"
#include "export_plugin/host_connection.h"
#include "rtl/exceptions.h"
#include "server_client/ole_errors.h"
#include "ui/core/message_dialogs.h"

extern const char kPluginTavolexDescription[];

namespace tvx {

namespace {

[[noreturn]] void ShowErrorAndAbort(const char* message) {
  MessageDlg(message, TMsgDlgType::mtError, TMsgDlgButtons{mbOK});
  Abort();
}

}  // namespace

TVX_IMPLEMENT_CLASS(TPluginTavolex) {
  TVX_HANDLER(JvPlugInInitialize);
  TVX_HANDLER(PluginTavolexCommands0Execute);
  TVX_HANDLER(JvPlugInDestroy);
  c.Description(kPluginTavolexDescription);
}

TPluginTavolex::TPluginTavolex(TComponent* owner) : TJvPlugIn(owner) {}

TPluginTavolex::~TPluginTavolex() {
  FDirectoryAccess.Reset();
  FDirectory.Reset();
}

void TPluginTavolex::JvPlugInInitialize(TObject* /*Sender*/, bool& AllowLoad) {
  HandOverApplication(this, HostApplication());

  FDirectoryAccess.Reset();
  if (const ComPtr<IUnknown> main_form = MainFormObject(HostApplication())) {
    main_form.As(FDirectoryAccess);
  }
  if (!FDirectoryAccess) {
    MessageDlg(kNoDirectoryAccessMessage, TMsgDlgType::mtError, TMsgDlgButtons{mbOK});
    AllowLoad = false;
    return;
  }

  ComPtr<IUnknown> directory;  // released on every path
  CheckCallResult(FDirectoryAccess->GetDirectory(directory.Put()), FDirectoryAccess.Get(),
                  tavolex::IidOf<IDirectoryAccess>());
  if (!directory) {
    FDirectory.Reset();
    return;
  }
  ComPtr<IDirectory> offered;
  if (FAILED(directory.As(offered))) throw EIntfCastError();
  FDirectory = std::move(offered);
}

void TPluginTavolex::PluginTavolexCommands0Execute(TObject* /*Sender*/) {
  // Without the directory there is no way to the application server: say so, and change
  // nothing (no dialog is created).
  if (!FDirectory) ShowErrorAndAbort(kNoDirectoryMessage);

  auto* dialog = Create<TExport1CConfigDlg>(nullptr);
  try {
    ComPtr<IRemoteConnection> connection;  // the reference the host added for us
    CheckCallResult(FDirectory->GetRemoteServer(connection.Put()), FDirectory.Get(),
                    tavolex::IidOf<IDirectory>());
    if (!connection) ShowErrorAndAbort(kNoConnectionMessage);
    // The dialog owns the adapter, which holds the reference: it is released when the dialog
    // is freed.
    dialog->SetConnection(Create<THostConnection>(dialog, std::move(connection)));
    dialog->ShowModal();
  } catch (...) {
    dialog->Release();
    throw;
  }
  dialog->Release();
}

void TPluginTavolex::JvPlugInDestroy(TObject* /*Sender*/) { TakeBackApplication(this); }

TJvPlugIn* RegisterPlugin() { return Create<TPluginTavolex>(nullptr); }

}  // namespace tvx
