// The example host: a personnel-records application that loads the modules (*.plu) beside
// it, offers their commands in its "Сервис" menu and hands them its connection to the
// application server. Run with --help for its options; docs/host-example.md describes it.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/host_log.h"
#include "host/host_options.h"
#include "host/host_results.h"
#include "host/main_window.h"
#include "host/operator_script.h"
#include "host/scripted_operator.h"
#include "tavolex/host.h"

extern const char kDemoScript[];

namespace {

using namespace tvx::host;

std::vector<std::string> Arguments() {
  std::vector<std::string> arguments;
  int count = 0;
  wchar_t** list = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; list != nullptr && i < count; ++i) {
    arguments.push_back(tavolex::ToUtf8(reinterpret_cast<const char16_t*>(list[i])));
  }
  if (list != nullptr) LocalFree(list);
  return arguments;
}

// An environment variable as UTF-8; nullopt when it is not set.
std::optional<std::string> Environment(const wchar_t* name) {
  const DWORD length = GetEnvironmentVariableW(name, nullptr, 0);
  if (length == 0) return std::nullopt;
  std::wstring value(length, L'\0');
  const DWORD written = GetEnvironmentVariableW(name, value.data(), length);
  value.resize(written);
  return tavolex::ToUtf8(std::u16string(value.begin(), value.end()));
}

std::wstring Wide(const std::string& text) {
  const std::u16string wide = tavolex::ToUtf16(text);
  return {wide.begin(), wide.end()};
}

// The script's text: the built-in demo, or a file's (UTF-8).
std::string ScriptText(const std::string& script) {
  if (script == "demo") return kDemoScript;
  FILE* file = _wfopen(Wide(script).c_str(), L"rb");
  if (file == nullptr) throw std::invalid_argument("cannot read the script " + script);
  std::string text;
  char buffer[4096];
  std::size_t read = 0;
  while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, read);
  std::fclose(file);
  return text;
}

int Fail(const std::string& text) {
  LogLine(text);
  MessageBoxW(nullptr, Wide(text).c_str(), kApplicationTitle, MB_OK | MB_ICONERROR);
  return 2;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  HostOptions options;
  std::vector<ScriptStep> script;
  try {
    const std::optional<std::string> password = Environment(L"TAVOLEX_PASSWORD");
    options = ParseHostOptions(Arguments(), Environment(L"TAVOLEX_USER").value_or(""),
                               password ? &*password : nullptr);
    if (options.help) {
      LogLine(kHostUsage);
      return 0;
    }
    if (!options.script.empty()) script = ParseScript(ScriptText(options.script));
    if (!options.results.empty()) OpenResults(options.results);
  } catch (const std::invalid_argument& error) {
    return Fail(std::string(error.what()) + "\n" + kHostUsage);
  }

  // The modules rely on the host having initialised COM on its window thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);

  int code = 1;
  {
    ApplicationState state;
    MainWindow window(options, state);
    if (window.Create(instance, show)) {
      std::unique_ptr<ScriptedOperator> operator_thread;
      if (!script.empty()) {
        OperatorSetup setup;
        setup.main_window = window.Handle();
        setup.command_id = [&window](const std::string& caption) {
          return window.CommandId(caption);
        };
        setup.refresh_command = kRefreshId;
        setup.error_title = kApplicationTitle;
        setup.shots = Wide(options.shots);
        setup.pace_ms = options.pace_ms;
        operator_thread = std::make_unique<ScriptedOperator>(std::move(script), setup);
        operator_thread->Start();
      }
      code = RunMessageLoop(window);
      // The operator stops before the windows it plays with go.
      operator_thread.reset();
    }
  }
  if (SUCCEEDED(com)) CoUninitialize();
  LogLine("exit code " + std::to_string(code));
  WriteResult({{"event", "exit"}, {"status", code}});
  CloseResults();
  return code;
}
