#include "classes/application_hooks.h"

#include <cstdio>
#include <utility>

#include "rtl/exceptions.h"

namespace tvx {
namespace {

void WriteToStandardError(TObject*, std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const EAbort&) {
    // The silent abort stays silent.
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "Unknown exception\n");
  }
}

TExceptionHandler& InstalledHandler() {
  static TExceptionHandler handler;
  return handler;
}

}  // namespace

TExceptionHandler SetApplicationHandleException(TExceptionHandler handler) {
  return std::exchange(InstalledHandler(), std::move(handler));
}

void ApplicationHandleException(TObject* sender, std::exception_ptr error) noexcept {
  try {
    const TExceptionHandler& handler = InstalledHandler();
    if (handler) {
      handler(sender, error);
    } else {
      WriteToStandardError(sender, error);
    }
  } catch (...) {
    // A failing handler must not take creation or destruction down with it.
    WriteToStandardError(sender, std::current_exception());
  }
}

}  // namespace tvx
