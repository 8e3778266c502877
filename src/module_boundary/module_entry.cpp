// The module's exported entry, RegisterPlugin, and on Windows the library's unload hook.
#include "export_plugin/plugin_tavolex.h"
#include "module_boundary/boundary_errors.h"
#include "module_boundary/module_runtime.h"
#include "module_boundary/plugin_object.h"
#include "tavolex/plugin.h"

extern "C" tavolex::IPlugin* STDMETHODCALLTYPE RegisterPlugin() {
  tavolex::IPlugin* result = nullptr;
  const HRESULT status = tvx::Guarded(tavolex::IID_IPlugin, [&] {
    tvx::StartModule();
    tvx::TOwned<tvx::TJvPlugIn> plugin(tvx::RegisterPlugin());
    result = (new tvx::PluginObject(plugin.get()))->AsInterface();
    static_cast<void>(plugin.release());
  });
  return SUCCEEDED(status) ? result : nullptr;
}

#ifdef _WIN32

#ifdef __GLIBCXX__
// Frees the C++ run time's reserve for exceptions raised when memory has run out.
namespace __gnu_cxx {
void __freeres() noexcept;
}
#endif

// The unload hook; Linux's is a static object (see module_runtime.h). Under the loader lock:
// the windows, window classes and libraries of the user interface went with the last plug-in
// object, and are not touched here. `reserved` is not null when the process is ending.
extern "C" BOOL WINAPI DllMain(HINSTANCE /*instance*/, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_DETACH) {
    tvx::ModuleUnloading(reserved != nullptr ? tvx::Unloading::kProcessExit
                                             : tvx::Unloading::kLibrary);
#ifdef __GLIBCXX__
    // The C++ run time is linked into this library, and its reserve (some 70 KB) is never freed
    // by the run time itself: each load and unload of the library would leave one behind.
    __gnu_cxx::__freeres();
#endif
  }
  return TRUE;
}

#endif
