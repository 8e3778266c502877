#include "host/plugin_host.h"

#include <windows.h>

#include <algorithm>

#include "host/host_log.h"

namespace tvx::host {

namespace {

std::wstring Wide(const std::string& text) {
  const std::u16string wide = tavolex::ToUtf16(text);
  return {wide.begin(), wide.end()};
}

std::string Narrow(const wchar_t* text) {
  return tavolex::ToUtf8(reinterpret_cast<const char16_t*>(text));
}

// A text of the plug-in's identity; empty when the module does not give one.
std::string Identity(tavolex::IPlugin* plugin,
                     HRESULT (STDMETHODCALLTYPE tavolex::IPlugin::*getter)(BSTR*)) {
  try {
    return tavolex::ReadText(plugin, getter);
  } catch (const tavolex::ModuleError&) {
    return {};
  }
}

}  // namespace

std::vector<std::string> ModuleFiles(const std::string& folder) {
  std::vector<std::string> files;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(Wide(folder + "\\*.plu").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return files;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      files.push_back(Narrow(found.cFileName));
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
  std::sort(files.begin(), files.end());
  return files;
}

void PluginHost::LoadAll(const std::string& folder, tavolex::IHostApplication* application,
                         IUnknown* host_object, const Report& report) {
  const std::vector<std::string> files = ModuleFiles(folder);
  if (files.empty()) LogLine("no modules (*.plu) in " + folder);
  for (const std::string& file : files) {
    LoadOne(folder, file, application, host_object, report);
  }
}

void PluginHost::LoadOne(const std::string& folder, const std::string& file_name,
                         tavolex::IHostApplication* application, IUnknown* host_object,
                         const Report& report) {
  LoadedModule module;
  module.file_name = file_name;
  std::vector<PluginCommand> commands;
  const std::string path = folder + "\\" + file_name;
  try {
    module.library = std::make_unique<tavolex::PluginLibrary>(path);
    module.plugin = module.library->RegisterPlugin();
  } catch (const tavolex::ModuleError& error) {
    LogLine("module " + file_name + ": not loaded: " + error.what());
    report("Модуль «" + file_name + "» не загружен: " + error.what());
    return;
  }

  // Whatever goes wrong from here, the plug-in object goes before its library.
  const auto discard = [&] {
    commands.clear();
    module.plugin.Reset();
    module.library->Unload();
  };

  tavolex::IPlugin* plugin = module.plugin.Get();
  module.plugin_id = Identity(plugin, &tavolex::IPlugin::GetPluginID);
  module.description = Identity(plugin, &tavolex::IPlugin::GetDescription);
  module.author = Identity(plugin, &tavolex::IPlugin::GetAuthor);
  module.copyright = Identity(plugin, &tavolex::IPlugin::GetCopyright);
  module.version = Identity(plugin, &tavolex::IPlugin::GetPluginVersion);

  VARIANT_BOOL allow = VARIANT_FALSE;
  const tavolex::Text file_text{std::string_view(path)};
  try {
    if (tavolex::Check(plugin->Initialize(host_object, application, file_text.Get(), &allow)) ==
        tavolex::kSilentAbort) {
      // The module has told the operator why already.
      LogLine("module " + file_name + ": initialisation stopped by the module");
      discard();
      return;
    }
  } catch (const tavolex::ModuleError& error) {
    LogLine("module " + file_name + ": initialisation failed: " + error.ClassName() + ": " +
            error.what());
    discard();
    report("Модуль «" + file_name + "» не удалось инициализировать: " + error.what());
    return;
  }
  if (allow == VARIANT_FALSE) {
    LogLine("module " + file_name + ": refused to be loaded");
    discard();
    report("Модуль «" + file_name + "» отказался загружаться в это приложение.");
    return;
  }

  try {
    LONG count = 0;
    tavolex::Check(plugin->GetCommandCount(&count));
    for (LONG i = 0; i < count; ++i) {
      PluginCommand command;
      tavolex::Check(plugin->GetCommand(i, command.command.Put()));
      tavolex::IPluginCommand* c = command.command.Get();
      command.caption = tavolex::ReadText(c, &tavolex::IPluginCommand::GetCaption);
      command.name = tavolex::ReadText(c, &tavolex::IPluginCommand::GetName);
      command.hint = tavolex::ReadText(c, &tavolex::IPluginCommand::GetHint);
      tavolex::Check(c->GetShortCut(&command.short_cut));
      command.module = file_name;
      commands.push_back(std::move(command));
    }
  } catch (const tavolex::ModuleError& error) {
    LogLine("module " + file_name + ": commands unreadable: " + error.what());
    discard();
    report("Модуль «" + file_name + "» не загружен: " + error.what());
    return;
  }

  LogLine("module " + file_name + ": loaded " + module.plugin_id + ", " +
          std::to_string(commands.size()) + " command(s)");
  for (const PluginCommand& command : commands) {
    LogLine("  command " + command.name + ": " + command.caption);
  }
  modules_.push_back(std::move(module));
  for (PluginCommand& command : commands) commands_.push_back(std::move(command));
}

void PluginHost::UnloadAll() {
  commands_.clear();
  for (auto module = modules_.rbegin(); module != modules_.rend(); ++module) {
    module->plugin.Reset();
  }
  for (LoadedModule& module : modules_) {
    if (module.library) module.library->Unload();
    LogLine("module " + module.file_name + ": unloaded");
  }
  modules_.clear();
}

}  // namespace tvx::host
