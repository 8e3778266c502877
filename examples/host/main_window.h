// The personnel-records application's main window: a menu (File, the modules' commands under
// "Сервис", Help), the staff list read from the application server, and a status bar with the
// connection, the number of staff and the export history. It owns the host's side of the
// module boundary (application object, main form, directory, connection) and the loaded
// modules, which it destroys and unloads when it closes, before the window itself goes.
#pragma once

#include <windows.h>

#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "host/host_objects.h"
#include "host/host_options.h"
#include "host/plugin_host.h"

namespace tvx::host {

inline constexpr wchar_t kMainWindowClass[] = L"TavolexHostWindow";
inline constexpr wchar_t kMainWindowTitle[] = L"Кадры — учёт персонала";
// The application's title: error boxes of the host and of the modules carry it.
inline constexpr wchar_t kApplicationTitle[] = L"Кадры";

// Menu identifiers. The modules' commands take kFirstCommandId onwards, in their order.
enum MenuId : UINT {
  kRefreshId = 100,
  kExitId,
  kModulesId,
  kAboutId,
  kFirstCommandId = 1000,
};

class MainWindow {
 public:
  MainWindow(const HostOptions& options, ApplicationState& state);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates and shows the window; false (with the system's reason logged) when it cannot.
  bool Create(HINSTANCE instance, int show);
  HWND Handle() const { return window_; }

  // Loads the modules of folder (UTF-8) and lists their commands under "Сервис".
  void LoadModules(const std::string& folder);
  // The menu identifier of the command with that caption (UTF-8), if a module offers one.
  // The list is fixed once the modules are loaded, so any thread may ask.
  std::optional<UINT> CommandId(const std::string& caption) const;

  // Reads the staff list and the export history from the server anew, and logs the status.
  void Refresh();
  // Asks for the user and password (login dialog) and connects with them from then on;
  // false when the operator cancels.
  bool LogIn();

  // Destroys the plug-in objects and unloads the modules (once); the window stays.
  void Shutdown();

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void CreateChildren();
  void Layout();
  void BuildServiceMenu();
  void RunCommand(std::size_t index);
  void ShowModules();
  void ShowError(const std::string& text);
  void SetStatus(int part, const std::wstring& text);
  // Handles what the queue holds now (deferred releases of a module's windows, say).
  void HandlePendingMessages();

  const HostOptions& options_;
  ApplicationState& state_;
  HWND window_ = nullptr;
  HWND list_ = nullptr;
  HWND status_ = nullptr;
  HMENU service_menu_ = nullptr;
  HACCEL accelerators_ = nullptr;
  tavolex::Ref<RemoteConnection> connection_;
  tavolex::Ref<IUnknown> main_form_;
  tavolex::Ref<HostApplication> application_;
  PluginHost plugins_;
  std::vector<std::string> command_captions_;
  std::atomic<bool> ready_{false};
  bool running_command_ = false;
  bool shut_down_ = false;

  friend int RunMessageLoop(MainWindow& window);
};

// The host's message loop; returns the exit code.
int RunMessageLoop(MainWindow& window);

}  // namespace tvx::host
