// What the tests of the Windows backend share: a watchdog that ends a run that hangs, steps
// run from a timer by whatever message loop is running (a modal form's, a message box's), an
// application object whose window is a real top-level window of the test, and helpers that
// read windows back (class, text, place within the parent, styles).
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>

#include "support/thread_windows.h"
#include "support/watchdog.h"
#include "ui/core/application.h"
#include "ui/core/control.h"
#include "ui/win32/backend/win32_backend.h"

namespace tvx::test {

// Steps run one per tick of a thread timer, so they run inside whatever loop dispatches
// messages: the modal loop of a form, a nested one, a message box's. A step given with a
// condition waits (tick by tick) until the condition holds.
class TimerScript {
 public:
  TimerScript();
  ~TimerScript();
  TimerScript(const TimerScript&) = delete;
  TimerScript& operator=(const TimerScript&) = delete;

  TimerScript& Then(std::function<void()> step);
  TimerScript& When(std::function<bool()> ready, std::function<void()> step);
  bool Done() const { return steps_.empty() && !running_; }

 private:
  struct Step {
    std::function<bool()> ready;
    std::function<void()> run;
  };
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  void RunNext();

  std::deque<Step> steps_;
  UINT_PTR timer_ = 0;
  bool running_ = false;
};

// A window's place in its parent's client area (a top-level window's on the screen).
struct Place {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const Place&, const Place&) = default;
};
std::ostream& operator<<(std::ostream& out, const Place& place);
Place PlaceOf(HWND hwnd);
Place ClientOf(HWND hwnd);

std::string ClassOf(HWND hwnd);
std::string TextOf(HWND hwnd);
DWORD StyleOf(HWND hwnd);
DWORD ExStyleOf(HWND hwnd);
HWND WindowOf(const TControl* control);
// The name of the control whose window this is, looked up among the controls inside root.
std::string ControlNameOf(HWND hwnd, const TWinControl& root);

// Keys as the operator presses them: posted to the focused window (the thread's key state
// holds the modifiers meanwhile).
void PressKey(WORD key, bool shift = false);
// A click with the mouse on a button: BM_CLICK (the button's own pressing and releasing).
void ClickButton(HWND button);

// The text of a message box (its static texts), and closing it with one of its buttons.
std::string BoxText(HWND box);
void AnswerBox(HWND box, int button);

class Win32Test : public ::testing::Test {
 protected:
  explicit Win32Test(win32::Win32Options options = {});
  ~Win32Test() override;

  // The application's window: a real top-level window, shown and active.
  HWND owner = nullptr;
  TApplication* application = nullptr;
  win32::Win32UserInterface ui;
  TimerScript script;

 private:
  TApplication* previous_application_ = nullptr;
  Watchdog watchdog_{std::chrono::seconds(60)};
};

}  // namespace tvx::test
