#include "module/module_runtime.h"

#include "exporter/application_handover.h"
#include "module/user_interface.h"
#include "ui/application.h"

namespace tvx {

namespace {

// Plain data, so that the unload hook can read it at any point of the unloading.
bool started = false;

#ifndef _WIN32
struct UnloadHook {
  ~UnloadHook() { ModuleUnloading(); }
};
#endif

}  // namespace

void StartModule() {
  if (started) return;
  StartUserInterface();
  ModuleApplication();
  ApplicationHandedOver();
#ifndef _WIN32
  static UnloadHook hook;
#endif
  started = true;
}

void ModuleUnloading() {
  if (!started) return;
  EndApplicationHandovers();
  started = false;
}

}  // namespace tvx
