// The host's side of the module boundary: its application object, its main form with
// IDirectoryAccess, its directory with IDirectory, and its connection to the application
// server as IRemoteConnection (connection/remote_connection.h). The main window owns all of them
// for its lifetime; each counts its references all the same, as the boundary's rules ask.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "classes/object.h"
#include "connection/host_object.h"
#include "connection/remote_connection.h"
#include "host/host_options.h"
#include "tavolex/directory.h"
#include "tavolex/host.h"
#include "tavolex/plugin.h"

namespace tvx::host {

using example::HostObject;
using example::MakeHostObject;
using example::RemoteConnection;

// The host's directory. Only GetRemoteServer belongs to the module's business; the other slots
// stand for the host's own operations, which this example does not have.
class HostDirectory final : public HostObject<tavolex::IDirectory> {
 public:
  // offered false: the object does not answer for IDirectory.
  HostDirectory(tavolex::Ref<RemoteConnection> connection, bool offered);

  HRESULT STDMETHODCALLTYPE GetRemoteServer(tavolex::IRemoteConnection** connection) override;
#define TVX_RESERVED(n) \
  HRESULT STDMETHODCALLTYPE ReservedSlot##n() override { return E_NOTIMPL; }
  TVX_RESERVED(1)
  TVX_RESERVED(2)
  TVX_RESERVED(3)
  TVX_RESERVED(4)
  TVX_RESERVED(5)
  TVX_RESERVED(6)
  TVX_RESERVED(8)
  TVX_RESERVED(9)
  TVX_RESERVED(10)
  TVX_RESERVED(11)
  TVX_RESERVED(12)
  TVX_RESERVED(13)
  TVX_RESERVED(14)
  TVX_RESERVED(15)
  TVX_RESERVED(16)
  TVX_RESERVED(17)
  TVX_RESERVED(18)
  TVX_RESERVED(19)
  TVX_RESERVED(20)
  TVX_RESERVED(21)
  TVX_RESERVED(22)
  TVX_RESERVED(23)

 private:
  tavolex::Ref<RemoteConnection> connection_;
};

// The main form as the modules see it: IDirectoryAccess, whose GetDirectory hands out the
// directory (or, by the host's option, nothing).
class HostMainForm final : public HostObject<tavolex::IDirectoryAccess> {
 public:
  // directory may be empty: GetDirectory then gives nothing.
  HostMainForm(tavolex::Ref<IUnknown> directory, bool offered);

  HRESULT STDMETHODCALLTYPE GetDirectory(IUnknown** directory) override;
  TVX_RESERVED(2)
  TVX_RESERVED(3)
#undef TVX_RESERVED

 private:
  tavolex::Ref<IUnknown> directory_;
};

// An object of the host's that offers nothing but IUnknown.
class ForeignObject final : public HostObject<IUnknown> {
 public:
  ForeignObject() : HostObject(false) {}
};

// What the application object reads from the host: the main window, the title of error
// boxes, and how exceptions and the termination are handled.
struct ApplicationState {
  HWND window = nullptr;
  std::wstring title;
  bool terminated = false;
  int exit_code = 0;
  // Called for each exception that escapes a module's window handler; returns whether the
  // host has dealt with it (false: the module shows its own error box).
  std::function<bool(const std::string& class_name, const std::string& message)> on_exception;
};

class HostApplication final : public HostObject<tavolex::IHostApplication> {
 public:
  HostApplication(ApplicationState& state, tavolex::Ref<IUnknown> main_form);

  HRESULT STDMETHODCALLTYPE GetHandle(tavolex::WindowHandleValue* window) override;
  HRESULT STDMETHODCALLTYPE GetTitle(BSTR* title) override;
  HRESULT STDMETHODCALLTYPE GetMainForm(IUnknown** form) override;
  HRESULT STDMETHODCALLTYPE GetTerminated(VARIANT_BOOL* terminated) override;
  HRESULT STDMETHODCALLTYPE HandleException(BSTR class_name, BSTR message,
                                            VARIANT_BOOL* handled) override;
  // One message of the thread's queue, waiting for one; a quit message is not dispatched but
  // marks the application terminated (the host's own loop ends on it).
  HRESULT STDMETHODCALLTYPE HandleMessage() override;

  // Drops the main form's reference (before the modules are unloaded).
  void Forget() { main_form_.Reset(); }

 private:
  ApplicationState& state_;
  tavolex::Ref<IUnknown> main_form_;
};

}  // namespace tvx::host
