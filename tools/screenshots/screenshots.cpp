// Shows every window and message box of the module, one after the other, with real windows,
// and asks a capturing script (tools/screenshots.sh) to photograph each one.
//
//   ui_screenshots.exe <exchange folder>
//
// On a screen of another resolution than 96 pixels per inch (a Wine prefix set to it) the
// pictures are named "<name>_<ppi>dpi": the module's windows as the backend scales them, and
// the system's message boxes as the system draws them at that resolution.
// For each picture the program writes "<name> <left> <top> <width> <height>" (screen
// coordinates of the window to crop to) into <folder>\request.txt and waits until the script
// has taken the picture and created <folder>\done.txt. The windows are driven on the program's
// user-interface thread by tasks that a second thread posts in order, so that a task may open
// a modal window or a message box while the next tasks go on inside its loop.
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "db/data_packet_writer.h"
#include "dialogs/export_history_form.h"
#include "dialogs/export_options_dialog.h"
#include "rtl/format_settings.h"
#include "support/history_table.h"
#include "support/test_app_server.h"
#include "support/test_remote_server.h"
#include "ui/core/application.h"
#include "ui/core/input.h"
#include "ui/core/message_dialogs.h"
#include "ui/win32/backend/win32_backend.h"
#include "ui/win32/peers/calendar_popup.h"

namespace tvx::screenshots {
namespace {

using test::HistoryRow;
using test::TestAppServer;
using test::TTestRemoteServer;
using win32::Wide;

constexpr UINT kRunTask = WM_APP + 1;
constexpr DWORD kWaitMs = 15000;

// Tasks for the user-interface thread, run by a message-only window of its own.
class TaskRunner {
 public:
  TaskRunner() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TavolexScreenshotTasks";
    RegisterClassExW(&wc);
    window_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              wc.hInstance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }

  // Queues a task and returns at once (for a task that opens a modal window or a box).
  void Post(std::function<void()> task) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      tasks_.push_back(std::move(task));
    }
    PostMessageW(window_, kRunTask, 0, 0);
  }

  // Queues a task and waits until it has run.
  void Run(std::function<void()> task) {
    std::mutex done_mutex;
    std::condition_variable done_signal;
    bool done = false;
    Post([&] {
      task();
      std::lock_guard<std::mutex> lock(done_mutex);
      done = true;
      done_signal.notify_one();
    });
    std::unique_lock<std::mutex> lock(done_mutex);
    done_signal.wait(lock, [&] { return done; });
  }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<TaskRunner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message != kRunTask || self == nullptr)
      return DefWindowProcW(hwnd, message, wparam, lparam);
    std::function<void()> task;
    {
      std::lock_guard<std::mutex> lock(self->mutex_);
      if (self->tasks_.empty()) return 0;
      task = std::move(self->tasks_.front());
      self->tasks_.pop_front();
    }
    try {
      task();
    } catch (const std::exception& error) {
      std::fprintf(stderr, "screenshots: a task failed: %s\n", error.what());
    }
    return 0;
  }

  HWND window_ = nullptr;
  std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;
};

// A visible top-level window of this process with the title (and class, when given).
HWND FindShown(const std::wstring& title, const wchar_t* class_name = nullptr) {
  struct Search {
    const std::wstring* title;
    const wchar_t* class_name;
    HWND found;
  } search{&title, class_name, nullptr};
  EnumWindows(
      [](HWND window, LPARAM data) CALLBACK -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
        if (s.class_name != nullptr) {
          wchar_t name[64] = {};
          GetClassNameW(window, name, 64);
          if (std::wstring(name) != s.class_name) return TRUE;
        }
        if (!s.title->empty() && win32::WindowText(window) != *s.title) return TRUE;
        s.found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitShown(const std::wstring& title, const wchar_t* class_name = nullptr) {
  for (DWORD waited = 0; waited < kWaitMs; waited += 20) {
    if (HWND window = FindShown(title, class_name)) return window;
    Sleep(20);
  }
  std::fprintf(stderr, "screenshots: no window \"%s\" came up\n", win32::Narrow(title).c_str());
  std::exit(2);
}

void WaitGone(HWND window) {
  for (DWORD waited = 0; waited < kWaitMs && IsWindow(window) && IsWindowVisible(window);
       waited += 20) {
    Sleep(20);
  }
}

class Camera {
 public:
  Camera(std::wstring folder, std::string suffix)
      : folder_(std::move(folder)), suffix_(std::move(suffix)) {}

  // Asks the script to photograph a rectangle of the screen, after the windows have painted.
  void Take(const std::string& scene, RECT area) {
    const std::string name = scene + suffix_;
    Sleep(500);
    const std::wstring request = folder_ + L"\\request.txt";
    const std::wstring partial = folder_ + L"\\request.part";
    const std::wstring done = folder_ + L"\\done.txt";
    DeleteFileW(done.c_str());
    if (FILE* file = _wfopen(partial.c_str(), L"wb")) {
      std::fprintf(file, "%s %ld %ld %ld %ld\n", name.c_str(), area.left, area.top,
                   area.right - area.left, area.bottom - area.top);
      std::fclose(file);
    }
    MoveFileExW(partial.c_str(), request.c_str(), MOVEFILE_REPLACE_EXISTING);
    for (DWORD waited = 0; GetFileAttributesW(done.c_str()) == INVALID_FILE_ATTRIBUTES;
         waited += 50) {
      if (waited > 60000) {
        std::fprintf(stderr, "screenshots: no picture taken of %s\n", name.c_str());
        std::exit(3);
      }
      Sleep(50);
    }
    DeleteFileW(done.c_str());
    std::printf("screenshots: %s\n", name.c_str());
    std::fflush(stdout);
  }

  void Take(const std::string& name, HWND window) {
    RECT area;
    GetWindowRect(window, &area);
    Take(name, area);
  }

 private:
  std::wstring folder_;
  std::string suffix_;
};

void PressButton(HWND box, int id) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(GetDlgItem(box, id), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &result);
  WaitGone(box);
}

TDateTime Day(int year, int month, int day) { return EncodeDate(year, month, day); }

// Two years of monthly exports, each covering the month before, more than the history
// view shows at once; the latest ran at midnight, the others in the morning.
std::vector<HistoryRow> History() {
  std::vector<HistoryRow> rows;
  for (int i = 0; i < 24; ++i) {
    const int year = 2011 + i / 12;
    const int month = i % 12 + 1;
    const TDateTime from = month == 1 ? Day(year - 1, 12, 1) : Day(year, month - 1, 1);
    const TDateTime to = Day(year, month, 1);
    const TDateTime run = Day(year, month, 5) + (i == 23 ? 0 : EncodeTime(9, 30, 0));
    rows.push_back({i + 1, run, from, to});
  }
  return rows;
}

// What the user-interface thread holds while the scenes run.
struct Scene {
  ComPtr<TestAppServer> server;
  TTestRemoteServer* connection = nullptr;
  TExport1CConfigDlg* dialog = nullptr;
};

void Quit(TaskRunner& ui, Scene& scene) {
  ui.Post([&] {
    Free(scene.connection);
    scene.server = nullptr;
    PostQuitMessage(0);
  });
}

void Direct(TaskRunner& ui, Camera& camera, Scene& scene) {
  const std::wstring dialog_title = L"Экспорт данных";

  // The dialog over a year of history.
  ui.Post([&] {
    scene.server = TestAppServer::Create();
    scene.server->SetPacket(test::HistoryTable(History()));
    scene.connection = Create<TTestRemoteServer>(nullptr);
    scene.connection->SetServer(scene.server);
    scene.dialog = Create<TExport1CConfigDlg>(nullptr);
    scene.dialog->SetConnection(scene.connection);
    scene.dialog->ShowModal();
    scene.dialog->Release();
    scene.dialog = nullptr;
  });
  HWND dialog = WaitShown(dialog_title);
  camera.Take("export_options", dialog);

  // The To field's calendar, dropped down with Alt+Down.
  ui.Run([&] {
    input::Focus(*scene.dialog->eExportTo);
    input::KeyDown(*scene.dialog, kVkDown, kAlt);
  });
  HWND popup = WaitShown(L"", win32::CalendarPopup::kClassName);
  {
    RECT a, b, both;
    GetWindowRect(dialog, &a);
    GetWindowRect(popup, &b);
    UnionRect(&both, &a, &b);
    camera.Take("date_calendar", both);
  }
  ui.Run([&] { input::KeyDown(*scene.dialog, kVkEscape, kNoShift); });

  ui.Run([&] { input::Click(*scene.dialog->eExportAll); });
  camera.Take("export_options_all_data", dialog);
  ui.Run([&] { input::Click(*scene.dialog->eExportChanges); });

  // The history view, and the grid's question before a deletion.
  ui.Post([&] { input::Click(*scene.dialog->btnShowHistory); });
  HWND history = WaitShown(L"История экспорта");
  camera.Take("export_history", history);
  ui.Post([&] {
    TCustomForm* view = ActiveForm();
    input::KeyDown(*view, kVkDelete, kCtrl);
  });
  HWND confirm = WaitShown(L"Confirm", L"#32770");
  camera.Take("confirm_delete_record", confirm);
  PressButton(confirm, IDCANCEL);
  ui.Run([&] {
    if (auto* view = dynamic_cast<TExportHistoryForm*>(ActiveForm())) input::Click(*view->btnOK);
  });
  WaitGone(history);

  // The three checks of the dates.
  struct Check {
    const char* name;
    const char* from;
    const char* to;
  };
  const Check checks[] = {{"error_enter_from", "", "31.12.2012"},
                          {"error_enter_to", "01.12.2012", ""},
                          {"error_from_after_to", "31.12.2012", "01.12.2012"}};
  for (const Check& check : checks) {
    ui.Run([&] {
      scene.dialog->eExportFrom->SetText(check.from);
      scene.dialog->eExportTo->SetText(check.to);
    });
    ui.Post([&] { input::Click(*scene.dialog->btnOK); });
    HWND box = WaitShown(L"Error", L"#32770");
    camera.Take(check.name, box);
    PressButton(box, IDOK);
  }

  // A server that fails: the application's exception handling shows its message.
  ui.Run([&] {
    scene.dialog->eExportFrom->SetText("01.12.2012");
    scene.dialog->eExportTo->SetText("31.12.2012");
    scene.server->FailWithException(E_FAIL, u"Нет связи с базой данных 1С");
  });
  ui.Post([&] { input::Click(*scene.dialog->btnOK); });
  HWND failure = WaitShown(Wide(Application()->Title()), L"#32770");
  camera.Take("error_server", failure);
  PressButton(failure, IDOK);

  // A server that works: the completion box, after which the dialog closes.
  ui.Run([&] {
    scene.server = TestAppServer::Create();
    scene.connection->SetServer(scene.server);
  });
  ui.Post([&] { input::Click(*scene.dialog->btnOK); });
  HWND completion = WaitShown(L"Information", L"#32770");
  camera.Take("export_done", completion);
  PressButton(completion, IDOK);
  WaitGone(dialog);

  // The dialog over an empty history.
  ui.Post([&] {
    scene.server = TestAppServer::Create();
    scene.server->SetPacket(test::HistoryTable());
    scene.connection->SetServer(scene.server);
    scene.dialog = Create<TExport1CConfigDlg>(nullptr);
    scene.dialog->SetConnection(scene.connection);
    scene.dialog->ShowModal();
    scene.dialog->Release();
    scene.dialog = nullptr;
  });
  dialog = WaitShown(dialog_title);
  camera.Take("export_options_empty_history", dialog);
  ui.Run([&] { input::Click(*scene.dialog->btnCancel); });
  WaitGone(dialog);

  // The plug-in's refusal when the host's main form lacks IDirectoryAccess.
  ui.Post([] {
    MessageDlg("Приложение не поддерживает интерфейс IDirectoryAccess", TMsgDlgType::mtError,
               TMsgDlgButtons{mbOK});
  });
  HWND refusal = WaitShown(L"Error", L"#32770");
  camera.Take("error_no_directory_access", refusal);
  PressButton(refusal, IDOK);
  Quit(ui, scene);
}

int Main(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: ui_screenshots <exchange folder>\n");
    return 1;
  }
  SelectFormatSettings("ru-RU");
  win32::Win32UserInterface backend(win32::Win32Options{});
  const int pixels_per_inch = UiBackend().ScreenPixelsPerInch();
  Application()->SetTitle("Tavolex");
  TaskRunner ui;
  char suffix[32] = "";
  if (pixels_per_inch != 96) std::snprintf(suffix, sizeof(suffix), "_%ddpi", pixels_per_inch);
  Camera camera(argv[1], suffix);
  Scene scene;
  std::thread director([&] { Direct(ui, camera, scene); });
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  director.join();
  return 0;
}

}  // namespace
}  // namespace tvx::screenshots

int wmain(int argc, wchar_t** argv) { return tvx::screenshots::Main(argc, argv); }
