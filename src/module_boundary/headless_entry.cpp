// The headless module's second exported entry: a driver of its headless user interface for a
// test host.
#include "module_boundary/boundary_errors.h"
#include "module_boundary/headless_driver_object.h"
#include "module_boundary/headless_user_interface.h"
#include "module_boundary/module_runtime.h"
#include "tavolex/headless.h"

extern "C" tavolex::IHeadlessDriver* STDMETHODCALLTYPE GetHeadlessDriver() {
  tavolex::IHeadlessDriver* result = nullptr;
  const HRESULT status = tvx::Guarded(tavolex::IID_IHeadlessDriver, [&] {
    tvx::StartModule();
    result = (new tvx::HeadlessDriverObject(tvx::HeadlessUserInterface()))->AsInterface();
  });
  return SUCCEEDED(status) ? result : nullptr;
}
