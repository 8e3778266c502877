#include "ui/core/backend.h"

#include "rtl/exceptions.h"

namespace tvx {

namespace {
Backend* g_backend = nullptr;
}

Backend& UiBackend() {
  if (g_backend == nullptr) throw EInvalidOperation("No user-interface backend is installed");
  return *g_backend;
}

bool HasUiBackend() { return g_backend != nullptr; }

Backend* SetUiBackend(Backend* backend) {
  Backend* previous = g_backend;
  g_backend = backend;
  return previous;
}

}  // namespace tvx
