// The modules a host has loaded: every *.plu of a folder, each asked for its plug-in object
// through the SDK, initialised with the host's application object, and its commands listed.
// A module that cannot be loaded, refuses to be or fails its initialisation is reported and
// left out; the others go on. At the end every plug-in object is destroyed (the most recently
// initialised first) before any library is unloaded.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tavolex/host.h"

namespace tvx::host {

struct PluginCommand {
  std::string caption;  // UTF-8
  std::string name;
  std::string hint;
  unsigned short short_cut = 0;
  std::string module;  // the library's file name
  tavolex::Ref<tavolex::IPluginCommand> command;
};

struct LoadedModule {
  std::string file_name;
  std::string plugin_id;
  std::string description;
  std::string author;
  std::string copyright;
  std::string version;
  std::unique_ptr<tavolex::PluginLibrary> library;
  tavolex::Ref<tavolex::IPlugin> plugin;
};

class PluginHost {
 public:
  // Receives a text for the operator (one module that could not be loaded) and the module's
  // file name.
  using Report = std::function<void(const std::string& text)>;

  PluginHost() = default;
  PluginHost(const PluginHost&) = delete;
  PluginHost& operator=(const PluginHost&) = delete;
  ~PluginHost() { UnloadAll(); }

  // Loads the modules of folder (UTF-8), in the order of their file names.
  void LoadAll(const std::string& folder, tavolex::IHostApplication* application,
               IUnknown* host_object, const Report& report);

  const std::vector<LoadedModule>& Modules() const { return modules_; }
  const std::vector<PluginCommand>& Commands() const { return commands_; }

  // Releases the commands, then each plug-in object from the last initialised to the first,
  // and only then unloads the libraries.
  void UnloadAll();

 private:
  void LoadOne(const std::string& folder, const std::string& file_name,
               tavolex::IHostApplication* application, IUnknown* host_object, const Report& report);

  std::vector<LoadedModule> modules_;
  std::vector<PluginCommand> commands_;
};

// The *.plu files of a folder (names only, UTF-8), sorted.
std::vector<std::string> ModuleFiles(const std::string& folder);

}  // namespace tvx::host
