// How long the operator waits for the export dialog: from the command's Execute to the dialog
// painted, with Tavolex.plu loaded as a host loads it and its history fetched from the example
// application server over TCP. Beside it, in the same run, the time from DialogBoxIndirect to
// painted for a plain Win32 dialog with the same 16 controls. Prints the medians, the 90th
// percentiles and the ratio of the medians.
//
//   dialog_open_bench.exe PATH\Tavolex.plu HOST:PORT USER PASSWORD [RUNS]   (default 30 runs)
//
// "Painted": the moment after the dialog's last WM_PAINT, when the thread has no paint left to
// do. The dialog is then closed, as the operator would cancel it.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "connection/remote_connection.h"
#include "host/host_objects.h"
#include "template_dialog.h"

namespace tvx::bench {
namespace {

double Seconds() {
  static const LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Percentile(std::vector<double> values, double share) {
  std::sort(values.begin(), values.end());
  if (values.empty()) return 0;
  return values[std::min(values.size() - 1, static_cast<size_t>(share * values.size()))];
}

// One measurement at a time: whether it runs, and the moment the dialog was painted (0 until
// then).
struct Measurement {
  bool active = false;
  double painted_at = 0;
};
Measurement g_measurement;

// Marks a message that the hook posts to itself: WM_NULL, which every window ignores.
constexpr WPARAM kPaintedMark = 0x7A11;

// Sees every message that the thread takes from its queue. WM_PAINT comes only when nothing is
// posted, so a mark posted when a WM_PAINT is taken arrives after that paint was dispatched:
// if no paint is pending then, the dialog is painted whole.
LRESULT CALLBACK OnMessageTaken(int code, WPARAM removal, LPARAM lparam) {
  const auto* message = reinterpret_cast<const MSG*>(lparam);
  if (code == HC_ACTION && removal == PM_REMOVE && g_measurement.active &&
      message->hwnd != nullptr) {
    HWND dialog = GetAncestor(message->hwnd, GA_ROOT);
    if (message->message == WM_PAINT) {
      PostMessageW(dialog, WM_NULL, kPaintedMark, 0);
    } else if (message->message == WM_NULL && message->wParam == kPaintedMark &&
               (HIWORD(GetQueueStatus(QS_PAINT)) & QS_PAINT) == 0 && IsWindowVisible(dialog)) {
      g_measurement.painted_at = Seconds();
      g_measurement.active = false;
      PostMessageW(dialog, WM_CLOSE, 0, 0);
    }
  }
  return CallNextHookEx(nullptr, code, removal, lparam);
}

INT_PTR CALLBACK TemplateDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && (LOWORD(wparam) == IDCANCEL || LOWORD(wparam) == IDOK)) {
    EndDialog(dialog, LOWORD(wparam));
    return TRUE;
  }
  return FALSE;
}

// Times one opening: `open` shows a modal dialog and returns once it has closed.
template <class Open>
double TimeOpening(Open open) {
  g_measurement = {};
  g_measurement.active = true;
  const double start = Seconds();
  open();
  if (g_measurement.painted_at == 0) throw std::runtime_error("the dialog was never painted");
  return (g_measurement.painted_at - start) * 1000;
}

struct Figures {
  double median, p90;
};

Figures Summarise(const std::vector<double>& times) {
  return {Percentile(times, 0.5), Percentile(times, 0.9)};
}

int Run(int argc, wchar_t** argv) {
  if (argc < 5) {
    std::fprintf(stderr,
                 "usage: dialog_open_bench PATH\\Tavolex.plu HOST:PORT USER PASSWORD [RUNS]\n");
    return 2;
  }
  const auto utf8 = [](const wchar_t* text) {
    return tavolex::ToUtf8(reinterpret_cast<const char16_t*>(text));
  };
  const std::string address = utf8(argv[2]);
  const int runs = argc > 5 ? std::max(1, _wtoi(argv[5])) : 30;

  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  example::ClientOptions client;
  const auto colon = address.rfind(':');
  client.host = address.substr(0, colon);
  client.port = static_cast<std::uint16_t>(std::stoi(address.substr(colon + 1)));
  client.user = utf8(argv[3]);
  client.password = utf8(argv[4]);
  client.client_name = "dialog_open_bench";

  host::ApplicationState state;
  state.title = L"dialog_open_bench";
  auto connection = example::MakeHostObject<example::RemoteConnection>(client);
  auto directory = tavolex::Ref<IUnknown>::Adopt(new host::HostDirectory(connection, true));
  auto main_form = tavolex::Ref<IUnknown>::Adopt(new host::HostMainForm(directory, true));
  auto application = example::MakeHostObject<host::HostApplication>(state, main_form);

  const std::string path = utf8(argv[1]);
  tavolex::PluginLibrary library(path);
  double template_median = 0;
  {
    tavolex::Ref<tavolex::IPlugin> plugin = library.RegisterPlugin();
    tavolex::Text file_name{std::string_view(path)};
    VARIANT_BOOL allow = VARIANT_FALSE;
    tavolex::Check(plugin->Initialize(main_form.Get(), application.Get(), file_name.Get(), &allow));
    if (allow == VARIANT_FALSE) throw std::runtime_error("the plug-in refused to load");
    tavolex::Ref<tavolex::IPluginCommand> command;
    tavolex::Check(plugin->GetCommand(0, command.Put()));

    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, OnMessageTaken, nullptr, GetCurrentThreadId());
    const std::vector<WORD> dialog_template = ExportDialogTemplate();
    const auto open_module = [&] { tavolex::Check(command->Execute(main_form.Get())); };
    const auto open_template = [&] {
      DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                              reinterpret_cast<LPCDLGTEMPLATEW>(dialog_template.data()), nullptr,
                              TemplateDialogProc, 0);
    };
    // The first openings load code and fonts and connect to the server: not measured.
    for (int i = 0; i < 3; ++i) {
      TimeOpening(open_module);
      TimeOpening(open_template);
    }
    std::vector<double> module_times, template_times;
    for (int i = 0; i < runs; ++i) {  // alternated, so that both see the same machine
      module_times.push_back(TimeOpening(open_module));
      template_times.push_back(TimeOpening(open_template));
    }
    UnhookWindowsHookEx(hook);

    const Figures module = Summarise(module_times);
    const Figures plain = Summarise(template_times);
    template_median = plain.median;
    std::printf("%-52s %10s %10s\n", "opening, to painted (ms)", "median", "p90");
    std::printf("%-52s %10.2f %10.2f\n", "the module's export dialog (Execute)", module.median,
                module.p90);
    std::printf("%-52s %10.2f %10.2f\n", "a template dialog, 16 controls (DialogBoxIndirect)",
                plain.median, plain.p90);
    std::printf("ratio of the medians: %.2f (%d runs each)\n",
                plain.median > 0 ? module.median / plain.median : 0.0, runs);
  }
  application->Forget();
  library.Unload();
  CoUninitialize();
  return template_median > 0 ? 0 : 1;
}

}  // namespace
}  // namespace tvx::bench

int wmain(int argc, wchar_t** argv) {
  try {
    return tvx::bench::Run(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "dialog_open_bench: %s\n", error.what());
    return 1;
  }
}
