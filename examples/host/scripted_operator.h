// The scripted operator: a thread of the host that plays a script against the host's own
// windows and the module's, as a person at the keyboard would, through window messages only.
// It finds windows by title and class, reads their texts through their handles, presses
// buttons with BM_CLICK and keys with WM_KEYDOWN/WM_CHAR (posted, so that a press that opens
// a modal window does not hold the operator up), and for a screenshot prints a marker line
//   @@shot NAME
// on standard output and waits until NAME.png appears in the shots folder: whoever started
// the host (tools/demo.sh) takes it with `import -window root` between the steps.
//
// A step that cannot be done (a window that does not come, a button that is not there) ends
// the host at once with exit code 3 after logging why, so that a test sees the failure.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "host/operator_script.h"

namespace tvx::host {

inline constexpr int kScriptFailedExitCode = 3;

struct OperatorSetup {
  HWND main_window = nullptr;
  // The menu identifier of a module's command by its caption; nothing until the modules are
  // loaded (and for a caption no module offers).
  std::function<std::optional<UINT>(const std::string& caption)> command_id;
  // The menu identifier that reads the server anew and logs the status bar's texts.
  UINT refresh_command = 0;
  // The title of the host's error boxes: one that shows up while the script waits for
  // something else fails the step.
  std::wstring error_title;
  std::wstring shots;  // the folder screenshots are awaited in; empty: shots are skipped
  int pace_ms = 0;
};

class ScriptedOperator {
 public:
  ScriptedOperator(std::vector<ScriptStep> steps, OperatorSetup setup);
  ~ScriptedOperator();
  ScriptedOperator(const ScriptedOperator&) = delete;
  ScriptedOperator& operator=(const ScriptedOperator&) = delete;

  void Start();

 private:
  void Run();
  void Do(const ScriptStep& step);
  // Waits until found() gives a window (or, with gone, until it gives none); raises
  // StepFailed when the time-out passes first.
  HWND WaitFor(const std::function<HWND()>& found, const std::string& what, bool gone = false);
  // Returns once the window's thread has handled the messages queued before, and painted.
  void Settle(HWND window);
  void Pace();
  HWND Current(const char* verb) const;
  HWND FocusedWindow() const;

  std::vector<ScriptStep> steps_;
  OperatorSetup setup_;
  DWORD ui_thread_ = 0;
  HWND current_ = nullptr;
  std::chrono::milliseconds timeout_{30000};
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace tvx::host
