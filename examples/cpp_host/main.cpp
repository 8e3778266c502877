// An example host written in C++ against the SDK alone (tavolex/host.h and the generated
// header): it builds from the downloaded archive with find_package(Tavolex) and nothing else.
//
//   TavolexCppHost.exe PATH\Tavolex.plu
//
// It loads the library, asks RegisterPlugin for the plug-in object, prints its identity and its
// commands, initialises it with host objects of its own (an application object, a main form
// with IDirectoryAccess, a directory with IDirectory that has no connection to hand out),
// releases it and unloads the library. Each host object counts its references: the exit code
// is 0 only when the module has handed back every reference it took.
#include <windows.h>

#include <cstdio>
#include <exception>
#include <string>

#include "tavolex/directory.h"
#include "tavolex/host.h"
#include "tavolex/unknown_impl.h"

namespace {

// A host object that offers one interface and lives on main's stack: the SDK's IUnknown base
// counts the references that the module holds, and its last Release frees nothing.
template <class Interface>
class Counted : public tavolex::UnknownImpl<Interface> {
 public:
  // The references that others still hold, besides the host's own.
  LONG Held() const { return static_cast<LONG>(this->References()) - 1; }

 protected:
  void LastReleased() noexcept override {}
};

class Directory final : public Counted<tavolex::IDirectory> {
 public:
  HRESULT STDMETHODCALLTYPE ReservedSlot1() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReservedSlot2() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReservedSlot3() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReservedSlot4() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReservedSlot5() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReservedSlot6() override { return E_NOTIMPL; }
  // No connection: the command would tell the operator so.
  HRESULT STDMETHODCALLTYPE GetRemoteServer(tavolex::IRemoteConnection** connection) override {
    if (connection == nullptr) return E_POINTER;
    *connection = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ReservedSlot8() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReservedSlot9() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReservedSlot10() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReservedSlot11() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReservedSlot12() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReservedSlot13() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReservedSlot14() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReservedSlot15() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReservedSlot16() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReservedSlot17() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReservedSlot18() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReservedSlot19() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReservedSlot20() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReservedSlot21() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReservedSlot22() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReservedSlot23() override { return E_NOTIMPL; }
};

class MainForm final : public Counted<tavolex::IDirectoryAccess> {
 public:
  explicit MainForm(Directory& directory) : directory_(directory) {}
  HRESULT STDMETHODCALLTYPE GetDirectory(IUnknown** directory) override {
    return tavolex::Ref<IUnknown>(&directory_).CopyTo(directory);
  }
  HRESULT STDMETHODCALLTYPE ReservedSlot2() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReservedSlot3() override { return E_NOTIMPL; }

 private:
  Directory& directory_;
};

class Application final : public Counted<tavolex::IHostApplication> {
 public:
  explicit Application(MainForm& main_form) : main_form_(main_form) {}
  HRESULT STDMETHODCALLTYPE GetHandle(tavolex::WindowHandleValue* window) override {
    if (window == nullptr) return E_POINTER;
    *window = 0;  // a console host: no owner window
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTitle(BSTR* title) override {
    if (title == nullptr) return E_POINTER;
    *title = SysAllocString(L"Tavolex C++ host");
    return *title != nullptr ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE GetMainForm(IUnknown** form) override {
    return tavolex::Ref<IUnknown>(&main_form_).CopyTo(form);
  }
  HRESULT STDMETHODCALLTYPE GetTerminated(VARIANT_BOOL* terminated) override {
    if (terminated == nullptr) return E_POINTER;
    *terminated = VARIANT_FALSE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE HandleException(BSTR, BSTR, VARIANT_BOOL* handled) override {
    if (handled == nullptr) return E_POINTER;
    *handled = VARIANT_FALSE;  // the module shows its own error box
    return S_OK;
  }
  // No message loop of the host's to run one message at a time: the module runs its own.
  HRESULT STDMETHODCALLTYPE HandleMessage() override { return E_NOTIMPL; }

 private:
  MainForm& main_form_;
};

int Run(const std::string& path) {
  Directory directory;
  MainForm main_form(directory);
  Application application(main_form);
  {
    tavolex::PluginLibrary library(path);
    {
      tavolex::Ref<tavolex::IPlugin> plugin = library.RegisterPlugin();
      std::printf("plug-in: %s\n",
                  tavolex::ReadText(plugin.Get(), &tavolex::IPlugin::GetPluginID).c_str());
      std::printf("copyright: %s\n",
                  tavolex::ReadText(plugin.Get(), &tavolex::IPlugin::GetCopyright).c_str());
      LONG count = 0;
      tavolex::Check(plugin->GetCommandCount(&count));
      std::printf("commands: %ld\n", static_cast<long>(count));
      for (LONG i = 0; i < count; ++i) {
        tavolex::Ref<tavolex::IPluginCommand> command;
        tavolex::Check(plugin->GetCommand(i, command.Put()));
        std::printf("command %ld: %s \"%s\"\n", static_cast<long>(i),
                    tavolex::ReadText(command.Get(), &tavolex::IPluginCommand::GetName).c_str(),
                    tavolex::ReadText(command.Get(), &tavolex::IPluginCommand::GetCaption).c_str());
      }
      tavolex::Text file_name(path);
      VARIANT_BOOL allow = VARIANT_FALSE;
      tavolex::Check(plugin->Initialize(&main_form, &application, file_name.Get(), &allow));
      std::printf("initialised: %s\n", allow != VARIANT_FALSE ? "allowed" : "refused");
      std::printf("held while initialised: application %ld, main form %ld, directory %ld\n",
                  static_cast<long>(application.Held()), static_cast<long>(main_form.Held()),
                  static_cast<long>(directory.Held()));
    }  // the plug-in object goes before the library
  }
  const bool balanced = application.Held() == 0 && main_form.Held() == 0 && directory.Held() == 0;
  std::printf(balanced ? "references: all released\n" : "references: left behind\n");
  return balanced ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::printf("usage: TavolexCppHost PATH\\Tavolex.plu\n");
    return 2;
  }
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  int result = 1;
  try {
    result = Run(argv[1]);
  } catch (const tavolex::ModuleError& error) {
    std::printf("failed: %s (%s, status %08lX)\n", error.what(), error.ClassName().c_str(),
                static_cast<unsigned long>(error.Status()));
  } catch (const std::exception& error) {
    std::printf("failed: %s\n", error.what());
  }
  CoUninitialize();
  return result;
}
