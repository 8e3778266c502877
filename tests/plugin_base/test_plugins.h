// Plug-in classes that the plug-in tests create; each described one has its stored
// description in descriptions/.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plugin_base/plugin.h"

namespace tvx::test {

// What the plug-ins' handlers saw, in order.
std::vector<std::string>& PluginLog();

// Its description sets the identity texts and two commands and binds every event.
class TTestPlugIn : public TJvPlugIn {
  TVX_DECLARE_CLASS(TTestPlugIn, TJvPlugIn)
  explicit TTestPlugIn(TComponent* owner) : TJvPlugIn(owner) {}

  // How the initialise handler answers: AllowLoad := allow_load; raise when fail is set.
  static bool allow_load;
  static bool fail;

  // What the initialise handler saw.
  TObject* seen_sender = nullptr;
  TObject* seen_host_object = nullptr;
  TApplication* seen_host_application = nullptr;
  TFileName seen_file_name;
  bool seen_allow_load = false;

  void PluginInitialize(TObject* sender, bool& allow);
  void PluginConfigure(TObject* sender);
  void PluginMessage(TObject* sender, int32_t message, std::string text);
  void CommandExecute(TObject* sender);
  void PluginCreate(TObject* sender);
  void PluginDestroy(TObject* sender);
};

// TTestPlugIn with OldCreateOrder true (its own description, applied after TTestPlugIn's).
class TOldOrderPlugIn : public TTestPlugIn {
  TVX_DECLARE_CLASS(TOldOrderPlugIn, TTestPlugIn)
  using TTestPlugIn::TTestPlugIn;
};

// Runs a configure operation of its own through Configure.
class TConfigurePlugIn : public TJvPlugIn {
  TVX_DECLARE_CLASS(TConfigurePlugIn, TJvPlugIn)
  explicit TConfigurePlugIn(TComponent* owner) : TJvPlugIn(owner) {}
  int configured = 0;
  void DoConfigure() override { ++configured; }
};

// Has no description.
class TUndescribedPlugIn : public TJvPlugIn {
  TVX_DECLARE_CLASS(TUndescribedPlugIn, TJvPlugIn)
  explicit TUndescribedPlugIn(TComponent* owner);
  static int live;

 protected:
  ~TUndescribedPlugIn() override;
};

}  // namespace tvx::test
