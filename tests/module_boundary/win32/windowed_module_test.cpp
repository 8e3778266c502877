// Tavolex.plu with its real windows, under a host that has a main window and a message loop of
// its own, through the host SDK only: the export command driven by posted input (dates typed,
// modes switched, the history view opened and closed, a refused date, the confirmation), the
// calls that reach the application server, the host's loop and main window while the dialog is
// modal, and the whole cycle from loading the library to unloading it repeated with the
// process's handles and memory watched.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "operator_script.h"
#include "resource_usage.h"
#include "support/history_table.h"
#include "tavolex/host.h"
#include "window_input.h"
#include "windowed_host.h"

// After windows.h, which the host's header brings.
#include <commctrl.h>

namespace tvx::test {
namespace {

constexpr wchar_t kDialogTitle[] = L"Экспорт данных";
constexpr wchar_t kHistoryTitle[] = L"История экспорта";
constexpr wchar_t kDateFieldClass[] = L"TavolexDateEdit";

double Date(WORD year, WORD month, WORD day) {
  SYSTEMTIME time{};
  time.wYear = year;
  time.wMonth = month;
  time.wDay = day;
  double value = 0;
  SystemTimeToVariantTime(&time, &value);
  return value;
}

const HistoryRow kHistory[] = {
    {2, Date(2024, 1, 31) + 0.5, Date(2024, 1, 1), Date(2024, 1, 31)},
    {1, Date(2023, 12, 31) + 0.25, Date(2023, 12, 1), Date(2023, 12, 31)},
};

std::string LibraryPath() {
  std::string path = TAVOLEX_LIBRARY;
  std::replace(path.begin(), path.end(), '/', '\\');
  return "Z:" + path;  // Wine sees the Unix root as drive Z
}

std::vector<std::string> Methods(const TestAppServer& server) {
  std::vector<std::string> methods;
  for (const ReceivedCall& call : server.Calls()) methods.push_back(call.method);
  return methods;
}

int LeftOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect.left;
}

// The export dialog's windows, found by class and text once it is shown.
struct DialogWindows {
  HWND dialog = nullptr;
  HWND from = nullptr;
  HWND to = nullptr;
  HWND all_data = nullptr;
  HWND changes = nullptr;
  HWND range = nullptr;  // the group box around the dates
  HWND show_history = nullptr;
  HWND ok = nullptr;
  HWND cancel = nullptr;

  void Find(HWND window) {
    dialog = window;
    const std::vector<HWND> fields = FindChildren(dialog, kDateFieldClass);
    ASSERT_EQ(fields.size(), 2u);
    from = fields[0];  // the two on one line, From on the left
    to = fields[1];
    if (LeftOf(to) < LeftOf(from)) std::swap(from, to);
    all_data = FindChild(dialog, L"Button", L"Экспортировать все данные");
    changes = FindChild(dialog, L"Button", L"Экспортировать только изменения");
    range = FindChild(dialog, L"Button", L"Экспортировать данные");
    show_history = FindChild(dialog, L"Button", L"Показать историю экспорта");
    ok = FindChild(dialog, L"Button", L"ОК");
    cancel = FindChild(dialog, L"Button", L"Отказаться");
    for (HWND control : {all_data, changes, range, show_history, ok, cancel}) {
      ASSERT_NE(control, nullptr);
    }
  }
};

bool Shown(HWND window) {
  return window != nullptr && IsWindowVisible(window) && IsWindowEnabled(window);
}

// Waits for the dialog, checks that the module's loop keeps the host's window disabled and owns
// the dialog by it.
void WhenDialogShown(OperatorScript& script, HWND main_window,
                     const std::shared_ptr<DialogWindows>& windows, std::function<void()> act) {
  script.When(
      "the export dialog", [] { return Shown(FindThreadWindow(kDialogTitle)); },
      [=] {
        windows->Find(FindThreadWindow(kDialogTitle));
        EXPECT_EQ(GetWindow(windows->dialog, GW_OWNER), main_window);
        EXPECT_FALSE(IsWindowEnabled(main_window)) << "the host's window under a modal dialog";
        act();
      });
}

// Closes the message box titled `title` once it is up, after checking its text and its owner
// (the export dialog, over which it is shown).
void WhenBox(OperatorScript& script, const wchar_t* title, std::string text) {
  script.When(
      "the box " + tavolex::ToUtf8(std::u16string(title, title + wcslen(title))) + ": " + text,
      [title] { return Shown(FindThreadWindow(title)); },
      [=] {
        HWND box = FindThreadWindow(title);
        EXPECT_EQ(BoxText(box), text);
        EXPECT_EQ(GetWindow(box, GW_OWNER), FindThreadWindow(kDialogTitle));
        // The control layer's caption, not the Russian one of the system's box.
        EXPECT_EQ(Utf8TextOf(GetDlgItem(box, IDOK)), "OK");
        PostClick(GetDlgItem(box, IDOK));
      });
}

// Types a date into a date field as the operator does: a click into it, Home, the digits.
void TypeDate(HWND field, const wchar_t* digits) {
  PostMouseClick(field, POINT{4, 4});
  PostKey(field, VK_HOME);
  PostText(field, digits);
}

// The operator's whole visit: the history view opened and closed, the modes switched, a From
// date after the To date refused, then the changes of 1 to 10 February 2024 exported.
void PlayExport(OperatorScript& script, HWND main_window) {
  auto w = std::make_shared<DialogWindows>();
  WhenDialogShown(script, main_window, w, [w] {
    // Version 6 buttons (they answer BCM_GETIDEALSIZE), by the module's own manifest: this
    // host carries none.
    SIZE ideal{};
    EXPECT_NE(SendMessageW(w->ok, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)), 0);
    PostClick(w->show_history);
  });
  script.When(
      "the history view", [] { return Shown(FindThreadWindow(kHistoryTitle)); },
      [w, main_window] {
        HWND view = FindThreadWindow(kHistoryTitle);
        EXPECT_EQ(GetWindow(view, GW_OWNER), main_window);
        EXPECT_FALSE(IsWindowEnabled(w->dialog));
        EXPECT_FALSE(IsWindowEnabled(main_window));
        PostClick(FindChild(view, L"Button", L"Закрыть"));
      });
  script.When(
      "the history view closed",
      [w] { return FindThreadWindow(kHistoryTitle) == nullptr && IsWindowEnabled(w->dialog); },
      [w] { PostClick(w->all_data); });
  script.When(
      "all data chosen", [w] { return Checked(w->all_data); },
      [w] {
        EXPECT_FALSE(IsWindowEnabled(w->range));
        EXPECT_FALSE(IsWindowEnabled(w->show_history));
        PostClick(w->changes);
      });
  script.When(
      "the changes chosen", [w] { return Checked(w->changes) && IsWindowEnabled(w->range); },
      [w] {
        TypeDate(w->from, L"20022024");
        TypeDate(w->to, L"10022024");
        PostClick(w->ok);
      });
  script.When(
      "the refusal of the dates", [] { return Shown(FindThreadWindow(L"Error")); },
      [w] {
        HWND box = FindThreadWindow(L"Error");
        EXPECT_EQ(BoxText(box), "Дата С не может быть больше даты ПО");
        EXPECT_EQ(GetWindow(box, GW_OWNER), w->dialog);
        EXPECT_EQ(Utf8TextOf(w->from), "20.02.2024");
        EXPECT_EQ(Utf8TextOf(w->to), "10.02.2024");
        PostClick(GetDlgItem(box, IDOK));
      });
  script.When(
      "the focus back in the From field",
      [w] { return FindThreadWindow(L"Error") == nullptr && GetFocus() == w->from; },
      [w] {
        EXPECT_EQ(GetActiveWindow(), w->dialog);
        EXPECT_EQ(GetForegroundWindow(), w->dialog);
        TypeDate(w->from, L"01022024");
        PostClick(w->ok);
      });
  WhenBox(script, L"Information", "Экспорт данных завершен!");
}

class WindowedModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    wchar_t format[32] = {};
    GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SSHORTDATE, format, 32);
    ASSERT_EQ(std::wstring(format), L"dd.MM.yyyy")
        << "the dates are typed as the Russian locale writes them (LC_ALL=ru_RU.UTF-8)";
  }
  void TearDown() override { CoUninitialize(); }

  // How the host ends its use once the command has returned.
  enum class Ending {
    kLoopThenRelease,  // its loop runs (and releases the dialog), then it lets go and unloads
    kReleaseAtOnce,    // it lets go of the plug-in and unloads before its loop runs again
  };

  // One host's whole use of the module: load the library, create and initialise the plug-in,
  // run the command with `play` as the operator, let the host's loop release the dialog,
  // destroy the plug-in, unload. Returns the command's status; the host is kept for checks, and
  // the references to its objects before the load and after the unload too.
  HRESULT Cycle(const std::function<void(OperatorScript&, HWND)>& play,
                const std::function<void(WindowedHost&)>& prepare = nullptr,
                Ending ending = Ending::kLoopThenRelease) {
    OperatorScript script;
    host_ = std::make_unique<WindowedHost>([&script] { script.Tick(); });
    host_->server->SetPacket(HistoryTable(kHistory));
    if (prepare) prepare(*host_);
    references_before_ = HostReferences();
    HRESULT status = E_FAIL;
    HMODULE module = nullptr;
    {
      tavolex::PluginLibrary library(LibraryPath());
      GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCWSTR>(
              library.Entry<tavolex::RegisterPluginFunction>(tavolex::kRegisterPluginEntry)),
          &module);
      tavolex::Ref<tavolex::IPlugin> plugin = library.RegisterPlugin();
      tavolex::Text file_name(std::string_view("Tavolex.plu"));
      VARIANT_BOOL allow = VARIANT_FALSE;
      tavolex::Check(
          plugin->Initialize(nullptr, host_->application.Get(), file_name.Get(), &allow));
      EXPECT_NE(allow, VARIANT_FALSE);

      play(script, host_->application->MainWindow());
      tavolex::Ref<tavolex::IPluginCommand> command;
      tavolex::Check(plugin->GetCommand(0, command.Put()));
      status = command->Execute(nullptr);
      try {
        tavolex::Check(status);
      } catch (const tavolex::ModuleError& error) {
        ADD_FAILURE() << "the command failed: " << error.ClassName() << ": " << error.what();
      }
      EXPECT_TRUE(script.Done()) << "left waiting for: " << script.Waiting();
      script.Clear();
      EXPECT_EQ(FindThreadWindow(kDialogTitle), nullptr);
      EXPECT_TRUE(IsWindowEnabled(host_->application->MainWindow()));
      command.Reset();
      if (ending == Ending::kLoopThenRelease) {
        // The dialog is released when the host's loop next runs: freed, with its record set.
        const long long before_release = MeasureResources().heap_bytes;
        host_->application->ProcessMessages();
        freed_by_release_ = before_release - MeasureResources().heap_bytes;
      } else {
        // The dialog still waits for its release, and holds the host's connection.
        references_held_ = HostReferences();
      }
      plugin.Reset();
    }
    references_after_ = HostReferences();
    // What the module left in the host's queue (the dialog's release, posted to the module's
    // message window) is only thrown away by the host's next turn.
    host_->application->ProcessMessages();
    // Unloaded for good, with the module's window classes gone with it.
    EXPECT_EQ(GetModuleHandleW(L"Tavolex.plu"), nullptr);
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof(window_class);
    EXPECT_FALSE(GetClassInfoExW(module, L"TavolexForm", &window_class));
    EXPECT_FALSE(GetClassInfoExW(module, L"TavolexMessages", &window_class));
    return status;
  }

  // The references to the host's application, main form, directory and connection.
  std::vector<ULONG> HostReferences() const {
    return {host_->application->References(), host_->main_form->References(),
            host_->directory->References(), host_->connection->References()};
  }

  std::unique_ptr<WindowedHost> host_;
  // Heap bytes that the host's loop freed after the command had returned.
  long long freed_by_release_ = 0;
  // Before the library was loaded, after the command returned (Ending::kReleaseAtOnce), and
  // after the library was unloaded.
  std::vector<ULONG> references_before_;
  std::vector<ULONG> references_held_;
  std::vector<ULONG> references_after_;
  Watchdog watchdog_{std::chrono::seconds(500)};
};

void ExpectExportOfFirstToTenthFebruary(const TestAppServer& server) {
  ASSERT_EQ(Methods(server), (std::vector<std::string>{"AS_GetRecords", "ExportData1C"}));
  const std::vector<ReceivedArgument>& arguments = server.Calls()[1].arguments;
  ASSERT_GE(arguments.size(), 2u);
  EXPECT_EQ(arguments[0].vt, VT_DATE);
  EXPECT_EQ(arguments[0].value->date, Date(2024, 2, 1));
  EXPECT_EQ(arguments[1].vt, VT_DATE);
  EXPECT_EQ(arguments[1].value->date, Date(2024, 2, 10));
}

TEST_F(WindowedModuleTest, TheOperatorExportsThroughTheHostsLoopWhileTheHostsWindowIsDisabled) {
  EXPECT_EQ(Cycle(PlayExport), S_OK);
  ExpectExportOfFirstToTenthFebruary(*host_->server);
  EXPECT_GT(host_->application->LoopTurns(), 0) << "the modal loops ran through the host's";
  EXPECT_GT(freed_by_release_, 4 * 1024) << "the dialog was freed by the host's loop";
  EXPECT_EQ(references_after_, references_before_);
  EXPECT_TRUE(host_->application->Exceptions().empty());
  EXPECT_FALSE(host_->application->Terminated());
}

std::string Counts(const std::vector<ULONG>& references) {
  std::ostringstream text;
  const char* names[] = {"application", "main form", "directory", "connection"};
  for (size_t i = 0; i < references.size() && i < std::size(names); ++i) {
    text << (i == 0 ? "" : ", ") << names[i] << " " << references[i];
  }
  return text.str();
}

// A host that lets go of the plug-in object and unloads the library right after the command,
// before its message loop runs again: the dialog's release is still waiting in the queue, and
// the module frees the dialog itself when its last plug-in object goes. Every reference to the
// host's objects comes back, the connection's among them.
TEST_F(WindowedModuleTest, AHostThatUnloadsBeforeItsLoopRunsGetsEveryReferenceBack) {
  EXPECT_EQ(Cycle(PlayExport, nullptr, Ending::kReleaseAtOnce), S_OK);
  ExpectExportOfFirstToTenthFebruary(*host_->server);
  std::cout << "references before the load: " << Counts(references_before_)
            << "\nafter the command: " << Counts(references_held_)
            << "\nafter the unload: " << Counts(references_after_) << "\n";
  ASSERT_EQ(references_held_.size(), 4u);
  EXPECT_EQ(references_held_[3], references_before_[3] + 1) << "the dialog holds the connection";
  EXPECT_EQ(references_after_, references_before_);
  EXPECT_TRUE(host_->application->Exceptions().empty());
}

TEST_F(WindowedModuleTest, AHostWithoutALoopToOfferGetsTheModulesOwn) {
  EXPECT_EQ(Cycle(PlayExport, [](WindowedHost& host) { host.application->SetLoopOffered(false); }),
            S_OK);
  ExpectExportOfFirstToTenthFebruary(*host_->server);
  EXPECT_EQ(host_->application->LoopTurns(), 0);
}

TEST_F(WindowedModuleTest, ATerminatingHostEndsTheDialogWithCancel) {
  auto play = [](OperatorScript& script, HWND main_window) {
    WhenDialogShown(script, main_window, std::make_shared<DialogWindows>(),
                    [] { PostQuitMessage(0); });
  };
  EXPECT_EQ(Cycle(play), S_OK);
  EXPECT_TRUE(host_->application->Terminated());
  EXPECT_EQ(Methods(*host_->server), std::vector<std::string>{"AS_GetRecords"});
}

TEST_F(WindowedModuleTest, AFailedExportIsReportedByTheHostsApplicationAndTheDialogStaysOpen) {
  auto play = [](OperatorScript& script, HWND main_window) {
    auto w = std::make_shared<DialogWindows>();
    WhenDialogShown(script, main_window, w, [w] { PostClick(w->ok); });
    WhenBox(script, WindowedHostApplication::kTitle, "Сервер занят.");
    script.When(
        "the dialog again",
        [w] {
          return Shown(w->dialog) && FindThreadWindow(WindowedHostApplication::kTitle) == nullptr;
        },
        [w] { PostClick(w->cancel); });
  };
  EXPECT_EQ(
      Cycle(play,
            [](WindowedHost& host) { host.server->FailWithException(E_FAIL, u"Сервер занят"); }),
      S_OK);
  EXPECT_EQ(host_->application->Exceptions(),
            std::vector<std::string>{"EOleException: Сервер занят"});
  EXPECT_EQ(Methods(*host_->server), (std::vector<std::string>{"AS_GetRecords", "ExportData1C"}));
}

// What one load of the library leaves behind, per load, whatever the module does: the C++ and
// threads run times linked into it keep some data of the thread that called it (the state of
// its exceptions among them) once it has raised an exception, and nothing frees those at unload.
// Measured with bare loads: a plug-in object made, one exception raised and caught inside the
// module (a command asked for out of range), the object released, the library unloaded.
ResourceUsage BareLoadResidue() {
  constexpr int kWarmUp = 5;
  constexpr int kLoads = 40;
  ResourceUsage before;
  for (int load = 0; load < kWarmUp + kLoads; ++load) {
    if (load == kWarmUp) before = MeasureResources();
    tavolex::PluginLibrary library(LibraryPath());
    tavolex::Ref<tavolex::IPlugin> plugin = library.RegisterPlugin();
    tavolex::Ref<tavolex::IPluginCommand> command;
    EXPECT_EQ(plugin->GetCommand(1, command.Put()), E_INVALIDARG);
  }
  const ResourceUsage after = MeasureResources();
  ResourceUsage residue;
  residue.heap_bytes = std::max(0LL, (after.heap_bytes - before.heap_bytes) / kLoads);
  residue.private_bytes = std::max(0LL, (after.private_bytes - before.private_bytes) / kLoads);
  return residue;
}

// The whole cycle, library loading included, many times over in one process: after a warm-up
// the process holds no more objects or memory than before, give or take a little noise and what
// bare loads of the library leave behind. A leak of one object per cycle is far above the
// limits (resource_usage_test shows that it is seen).
TEST_F(WindowedModuleTest, TwoHundredCyclesLeaveNoHandlesNorMemoryBehind) {
  constexpr int kCycles = 200;
  constexpr int kWarmUp = 10;
  const ResourceUsage residue = BareLoadResidue();
  // The run times' part is small and fixed (the threads library's record of the calling thread,
  // its lock for static objects); more would be the module's own, left at every load.
  EXPECT_LE(residue.heap_bytes, 2048);
  std::vector<std::pair<int, ResourceUsage>> samples;
  std::chrono::steady_clock::duration measured{};
  for (int cycle = 1; cycle <= kCycles; ++cycle) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Cycle(PlayExport), S_OK) << "cycle " << cycle;
    if (cycle > kWarmUp) measured += std::chrono::steady_clock::now() - start;
    host_.reset();
    if (HasFailure()) return;
    if (cycle == kWarmUp || cycle % 50 == 0) samples.emplace_back(cycle, MeasureResources());
  }
  const double per_cycle =
      std::chrono::duration<double, std::milli>(measured).count() / (kCycles - kWarmUp);
  std::ostringstream report;
  report << "a bare load leaves " << residue.heap_bytes << " heap bytes, " << residue.private_bytes
         << " private bytes\n";
  for (const auto& [cycle, usage] : samples) {
    report << "after cycle " << cycle << ": " << usage << "\n";
  }
  report << "time per cycle after the warm-up: " << per_cycle << " ms\n";
  std::cout << report.str();
  RecordProperty("milliseconds_per_cycle", static_cast<int>(per_cycle));

  // What the measured cycles may hold at the end: what they held after the warm-up, and what
  // their loads of the library leave by themselves.
  ResourceUsage allowed = samples.front().second;
  allowed.heap_bytes += residue.heap_bytes * (kCycles - kWarmUp);
  allowed.private_bytes += residue.private_bytes * (kCycles - kWarmUp);
  EXPECT_EQ(Leaks(allowed, samples.back().second, kCycleLeakLimits), "") << report.str();
}

}  // namespace
}  // namespace tvx::test
