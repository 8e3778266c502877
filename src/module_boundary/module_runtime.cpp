#include "module_boundary/module_runtime.h"

#include "classes/application_hooks.h"
#include "export_plugin/application_handover.h"
#include "module_boundary/user_interface.h"
#include "ui/core/application.h"
#include "ui/core/form.h"

namespace tvx {

namespace {

// Plain data, so that the unload hook can read them at any point of the unloading.
bool started = false;
int plugin_objects = 0;

#ifndef _WIN32
struct UnloadHook {
  ~UnloadHook() { ModuleUnloading(Unloading::kLibrary); }
};
#endif

}  // namespace

void StartModule() {
  StartUserInterface();
  if (started) return;
  ModuleApplication();
  ApplicationHandedOver();
#ifndef _WIN32
  static UnloadHook hook;
#endif
  started = true;
}

void PluginObjectMade() { ++plugin_objects; }

bool PluginObjectGoing() {
  if (--plugin_objects > 0) return false;
  FreeReleasedForms();
  return true;
}

void LastPluginObjectGone() {
  // A form still shown (a modal loop of a command whose host let go of everything from inside
  // it) keeps its windows, and so the user interface, until the library goes.
  if (plugin_objects == 0 && ShownForms().empty()) StopUserInterface();
}

void ModuleUnloading(Unloading unloading) {
  if (!started) return;
  if (unloading == Unloading::kLibrary) FreeReleasedForms();
  EndApplicationHandovers();
  started = false;
}

}  // namespace tvx
