// What the tests of the native peers do as an operator would, through window handles and the
// messages Windows itself delivers: key presses with the modifier keys held (the thread's key
// state says so while the message is handled), typed characters, mouse clicks and the wheel,
// a picture of a window's client area, and message boxes found by title and answered from
// another thread while the test's thread is inside the box's modal loop.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "ui/core/keys.h"
#include "ui/win32/backend/win32_api.h"

namespace tvx::test {

// A key pressed (and released) while the window has the focus. Alt goes as a system key
// (WM_SYSKEYDOWN with the context bit), as Windows sends it.
void PressKey(HWND window, KeyCode key, ShiftState shift = kNoShift);
// Characters typed into the window (WM_CHAR for each).
void TypeText(HWND window, const std::wstring& text);
// A click of the primary button at a point of the window's client area.
void ClickAt(HWND window, POINT point);
// The mouse wheel turned by `delta` (WHEEL_DELTA a notch; positive away from the user).
void TurnWheel(HWND window, int delta);
// Handles every message waiting on this thread.
void Pump();
// Handles messages until `window` has the focus, for at most `milliseconds`: under Wine the
// X server's focus events after a box closes arrive a little later than the box's return.
bool FocusSettlesOn(HWND window, int milliseconds = 2000);

// The client area of a window as it paints itself into a bitmap (WM_PRINTCLIENT), or a
// reference that a test draws into a bitmap of a size, first filled with a background.
class Picture {
 public:
  explicit Picture(HWND window);
  Picture(SIZE size, COLORREF background, const std::function<void(HDC)>& draw);
  COLORREF Pixel(int x, int y) const;
  // Whether any pixel of a rectangle has the colour.
  bool Contains(const RECT& area, COLORREF color) const;
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  void Take(SIZE size, const std::function<void(HDC)>& draw);

  int width_ = 0;
  int height_ = 0;
  std::vector<COLORREF> pixels_;
};

// How many pixels of `area` differ between two pictures.
int Differences(const Picture& a, const Picture& b, const RECT& area);

// Watches, from a thread of its own, for message boxes of this process with the title, reads
// each one's text and buttons and presses the button with the given identifier (IDOK,
// IDCANCEL...). The test's thread is meanwhile inside the box's modal loop. Every box that
// comes up while the answerer lives is answered, so a test never hangs on an unexpected one.
class BoxAnswerer {
 public:
  struct Box {
    std::wstring text;
    // Identifiers of the box's push buttons.
    std::vector<int> buttons;
  };

  BoxAnswerer(std::wstring title, int button);
  ~BoxAnswerer();
  BoxAnswerer(const BoxAnswerer&) = delete;
  BoxAnswerer& operator=(const BoxAnswerer&) = delete;

  // Stops watching; the boxes answered so far, in order.
  const std::vector<Box>& Stop();

 private:
  void Watch();
  HWND FindBox() const;

  std::wstring title_;
  int button_;
  DWORD process_ = 0;
  std::atomic<bool> stop_{false};
  std::vector<Box> boxes_;
  std::thread thread_;
};

}  // namespace tvx::test
