// The export plug-in: the one plug-in object of the module, with one command, "Экспорт данных
// в 1С", which runs the export options dialog on the host's connection to the application
// server. Its identity, its command and the binding of its handlers come from its stored
// description (plugin_tavolex.json).
#pragma once

#include "com/com_ptr.h"
#include "export_plugin/host_interfaces.h"
#include "plugin_base/plugin.h"

namespace tvx {

// The error box of an initialisation whose host's main form lacks IDirectoryAccess.
inline constexpr char kNoDirectoryAccessMessage[] =
    "Приложение не поддерживает интерфейс IDirectoryAccess";
// The error box of a command run without the host's directory (initialisation refused, or the
// host gave no directory), and of a directory that gave no connection.
inline constexpr char kNoDirectoryMessage[] =
    "Нет связи с сервером приложений: приложение не предоставило каталог (IDirectory)";
inline constexpr char kNoConnectionMessage[] =
    "Нет связи с сервером приложений: приложение не предоставило соединение";

// The handler names (JvPlugInInitialize, PluginTavolexCommands0Execute, JvPlugInDestroy) and the
// F-prefixed members are the plug-in's own names: its stored description, its published
// properties and its handlers are matched by them, so they stay as they are and are not to be
// tidied into other names. Building the plug-in checks that the description, this class and
// the TVX_HANDLER lines name the same handlers (cmake/CheckPublishedNames.cmake).
class TPluginTavolex : public TJvPlugIn {
  TVX_DECLARE_CLASS(TPluginTavolex, TJvPlugIn)

  explicit TPluginTavolex(TComponent* owner);

  // OnInitialize: makes the host's application object the module's own (until this object is
  // destroyed) and obtains the host's directory through the main form's IDirectoryAccess.
  // Without IDirectoryAccess: an error box, and AllowLoad false. A directory object without
  // IDirectory raises EIntfCastError "Interface not supported"; none at all is accepted.
  void JvPlugInInitialize(TObject* Sender, bool& AllowLoad);
  // The command's OnExecute: the export options dialog on the connection that the directory
  // gives, shown modally and released when the message loop next runs; the connection's
  // reference is released with the dialog. Without a directory or
  // a connection: an error box, then a silent abort; nothing else happens.
  void PluginTavolexCommands0Execute(TObject* Sender);
  // OnDestroy: ends this object's hand-over of the application object.
  void JvPlugInDestroy(TObject* Sender);

  IDirectoryAccess* DirectoryAccess() const { return FDirectoryAccess.Get(); }
  IDirectory* Directory() const { return FDirectory.Get(); }

 protected:
  // Releases FDirectoryAccess, then FDirectory.
  ~TPluginTavolex() override;

 private:
  ComPtr<IDirectoryAccess> FDirectoryAccess;
  ComPtr<IDirectory> FDirectory;
};

// The module's plug-in object: a new TPluginTavolex without an owner, which the caller frees.
TJvPlugIn* RegisterPlugin();

}  // namespace tvx
