// The test host's side of the boundary: its application object, its main form, its directory, its
// connection to the application server and the scripted steps of a headless run. Each counts its
// references (so that a test can find them back where they started) and records the calls the
// module made to it.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "com/com.h"
#include "com/com_ptr.h"
#include "support/test_app_server.h"
#include "tavolex/directory.h"
#include "tavolex/headless.h"
#include "tavolex/plugin.h"
#include "tavolex/unknown_impl.h"

namespace tvx::test {

template <class Interface>
class HostObject : public tavolex::UnknownImpl<Interface> {
 public:
  // Whether QueryInterface offers Interface (it always offers IUnknown).
  void SetOffered(bool offered) { offered_ = offered; }
  const std::vector<std::string>& Calls() const { return calls_; }

 protected:
  void* InterfaceFor(REFIID iid) noexcept override {
    if (!offered_ && IsEqualIID(iid, tavolex::IidOf<Interface>())) return nullptr;
    return this->ListedInterface(iid);
  }
  void Record(std::string call) { calls_.push_back(std::move(call)); }
  // The module must never call a reserved slot; the call is recorded so that a test sees it.
  HRESULT Reserved(int slot) {
    Record("ReservedSlot" + std::to_string(slot));
    return E_NOTIMPL;
  }

 private:
  bool offered_ = true;
  std::vector<std::string> calls_;
};

// A new host object; the pointer holds its only reference.
template <class T, class... Args>
ComPtr<T> MakeHostObject(Args&&... args) {
  return ComPtr<T>::Adopt(new T(std::forward<Args>(args)...));
}

class TestHostApplication final : public HostObject<tavolex::IHostApplication> {
 public:
  static constexpr tavolex::WindowHandleValue kWindow = 0x7001;
  static constexpr char16_t kTitle[] = u"Кадры";

  // The main form's reference is the application's (none: no main form).
  void SetMainForm(ComPtr<IUnknown> form) { main_form_ = std::move(form); }
  // Whether the host's exception event takes the exceptions offered to it.
  void SetHandlesExceptions(bool handles) { handles_exceptions_ = handles; }
  // "Class: message" of each exception offered.
  const std::vector<std::string>& Exceptions() const { return exceptions_; }

  HRESULT STDMETHODCALLTYPE GetHandle(tavolex::WindowHandleValue* window) override;
  HRESULT STDMETHODCALLTYPE GetTitle(BSTR* title) override;
  HRESULT STDMETHODCALLTYPE GetMainForm(IUnknown** form) override;
  HRESULT STDMETHODCALLTYPE GetTerminated(VARIANT_BOOL* terminated) override;
  HRESULT STDMETHODCALLTYPE HandleException(BSTR class_name, BSTR message,
                                            VARIANT_BOOL* handled) override;
  HRESULT STDMETHODCALLTYPE HandleMessage() override;

 private:
  ComPtr<IUnknown> main_form_;
  bool handles_exceptions_ = false;
  std::vector<std::string> exceptions_;
};

// The host's main form; it offers IDirectoryAccess unless told otherwise.
class TestMainForm final : public HostObject<tavolex::IDirectoryAccess> {
 public:
  // What GetDirectory hands out (none: null).
  void SetDirectory(ComPtr<IUnknown> directory) { directory_ = std::move(directory); }

  HRESULT STDMETHODCALLTYPE GetDirectory(IUnknown** directory) override;
  HRESULT STDMETHODCALLTYPE ReservedSlot2() override { return Reserved(2); }
  HRESULT STDMETHODCALLTYPE ReservedSlot3() override { return Reserved(3); }

 private:
  ComPtr<IUnknown> directory_;
};

class TestConnection final : public HostObject<tavolex::IRemoteConnection> {
 public:
  explicit TestConnection(ComPtr<TestAppServer> server) : server_(std::move(server)) {}

  HRESULT STDMETHODCALLTYPE GetAppServer(VARIANT* app_server) override;

 private:
  ComPtr<TestAppServer> server_;
};

// The host's directory; it offers IDirectory unless told otherwise.
class TestDirectory final : public HostObject<tavolex::IDirectory> {
 public:
  // What GetRemoteServer hands out, with a reference for the caller (none: null).
  void SetConnection(ComPtr<tavolex::IRemoteConnection> connection) {
    connection_ = std::move(connection);
  }

  HRESULT STDMETHODCALLTYPE GetRemoteServer(tavolex::IRemoteConnection** connection) override;
  HRESULT STDMETHODCALLTYPE ReservedSlot1() override { return Reserved(1); }
  HRESULT STDMETHODCALLTYPE ReservedSlot2() override { return Reserved(2); }
  HRESULT STDMETHODCALLTYPE ReservedSlot3() override { return Reserved(3); }
  HRESULT STDMETHODCALLTYPE ReservedSlot4() override { return Reserved(4); }
  HRESULT STDMETHODCALLTYPE ReservedSlot5() override { return Reserved(5); }
  HRESULT STDMETHODCALLTYPE ReservedSlot6() override { return Reserved(6); }
  HRESULT STDMETHODCALLTYPE ReservedSlot8() override { return Reserved(8); }
  HRESULT STDMETHODCALLTYPE ReservedSlot9() override { return Reserved(9); }
  HRESULT STDMETHODCALLTYPE ReservedSlot10() override { return Reserved(10); }
  HRESULT STDMETHODCALLTYPE ReservedSlot11() override { return Reserved(11); }
  HRESULT STDMETHODCALLTYPE ReservedSlot12() override { return Reserved(12); }
  HRESULT STDMETHODCALLTYPE ReservedSlot13() override { return Reserved(13); }
  HRESULT STDMETHODCALLTYPE ReservedSlot14() override { return Reserved(14); }
  HRESULT STDMETHODCALLTYPE ReservedSlot15() override { return Reserved(15); }
  HRESULT STDMETHODCALLTYPE ReservedSlot16() override { return Reserved(16); }
  HRESULT STDMETHODCALLTYPE ReservedSlot17() override { return Reserved(17); }
  HRESULT STDMETHODCALLTYPE ReservedSlot18() override { return Reserved(18); }
  HRESULT STDMETHODCALLTYPE ReservedSlot19() override { return Reserved(19); }
  HRESULT STDMETHODCALLTYPE ReservedSlot20() override { return Reserved(20); }
  HRESULT STDMETHODCALLTYPE ReservedSlot21() override { return Reserved(21); }
  HRESULT STDMETHODCALLTYPE ReservedSlot22() override { return Reserved(22); }
  HRESULT STDMETHODCALLTYPE ReservedSlot23() override { return Reserved(23); }

 private:
  ComPtr<tavolex::IRemoteConnection> connection_;
};

// A scripted step of a headless run: calls the function with the active form's name.
class ModalStep final : public HostObject<tavolex::IModalStep> {
 public:
  explicit ModalStep(std::function<void(const std::string& form)> action)
      : action_(std::move(action)) {}

  HRESULT STDMETHODCALLTYPE Run(BSTR form) override;

 private:
  std::function<void(const std::string& form)> action_;
};

}  // namespace tvx::test
