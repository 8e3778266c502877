#include "win32_fixture.h"

#include <cstdio>
#include <vector>

#include "ui/core/win_control.h"
#include "ui/win32/backend/win32_api.h"

namespace tvx::test {

using win32::AsHandle;
using win32::AsHwnd;

namespace {
TimerScript* current_script = nullptr;
}

TimerScript::TimerScript() { current_script = this; }

TimerScript::~TimerScript() {
  if (timer_ != 0) KillTimer(nullptr, timer_);
  if (current_script == this) current_script = nullptr;
}

TimerScript& TimerScript::Then(std::function<void()> step) {
  return When(nullptr, std::move(step));
}

TimerScript& TimerScript::When(std::function<bool()> ready, std::function<void()> step) {
  steps_.push_back(Step{std::move(ready), std::move(step)});
  if (timer_ == 0) timer_ = SetTimer(nullptr, 0, 20, &Tick);
  return *this;
}

void CALLBACK TimerScript::Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (current_script != nullptr) current_script->RunNext();
}

void TimerScript::RunNext() {
  if (steps_.empty()) return;
  if (steps_.front().ready && !steps_.front().ready()) return;
  // Taken off first: a step may open a nested loop in which the next steps run.
  Step step = std::move(steps_.front());
  steps_.pop_front();
  running_ = true;
  step.run();
  running_ = false;
}

std::ostream& operator<<(std::ostream& out, const Place& place) {
  return out << "(" << place.left << ", " << place.top << ", " << place.width << " x "
             << place.height << ")";
}

Place PlaceOf(HWND hwnd) {
  RECT rect;
  GetWindowRect(hwnd, &rect);
  if ((GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) != 0) {
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&rect), 2);
  }
  return Place{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

Place ClientOf(HWND hwnd) {
  RECT rect;
  GetClientRect(hwnd, &rect);
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  return Place{origin.x, origin.y, rect.right, rect.bottom};
}

std::string ClassOf(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  return win32::Narrow(name);
}

std::string TextOf(HWND hwnd) { return win32::Narrow(win32::WindowText(hwnd)); }

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)); }

DWORD ExStyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)); }

HWND WindowOf(const TControl* control) {
  return control != nullptr && control->Peer() != nullptr ? AsHwnd(control->Peer()->Handle())
                                                          : nullptr;
}

std::string ControlNameOf(HWND hwnd, const TWinControl& root) {
  if (WindowOf(&root) == hwnd) return root.Name();
  for (int32_t i = 0; i < root.ControlCount(); ++i) {
    const TControl* child = root.Controls(i);
    if (WindowOf(child) == hwnd) return child->Name();
    if (const auto* window = dynamic_cast<const TWinControl*>(child)) {
      std::string name = ControlNameOf(hwnd, *window);
      if (!name.empty()) return name;
    }
  }
  return {};
}

void PressKey(WORD key, bool shift) {
  BYTE state[256];
  GetKeyboardState(state);
  state[VK_SHIFT] = shift ? 0x80 : 0;
  state[VK_LSHIFT] = state[VK_SHIFT];
  SetKeyboardState(state);
  HWND focus = GetFocus();
  const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
  PostMessageW(focus, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
  PostMessageW(focus, WM_KEYUP, key, static_cast<LPARAM>(1 | (scan << 16) | (3u << 30)));
}

void ClickButton(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

std::string BoxText(HWND box) {
  std::string text;
  EnumChildWindows(
      box,
      [](HWND child, LPARAM param) CALLBACK -> BOOL {
        auto* out = reinterpret_cast<std::string*>(param);
        if (ClassOf(child) == "Static" && !TextOf(child).empty()) *out += TextOf(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&text));
  return text;
}

void AnswerBox(HWND box, int button) { ClickButton(GetDlgItem(box, button)); }

namespace {

// Under Wine on an X display without a window manager (the tests' Xvfb), Wine waits up to two
// seconds for a window manager's answer whenever a top-level window that it lets the window
// manager manage is hidden. No window manager manages the tests' windows: this tells Wine so,
// in its settings for this program, before the first window exists. Elsewhere it does nothing.
class UnmanagedWindowsUnderWine : public ::testing::Environment {
 public:
  void SetUp() override {
    if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr) return;
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program(path);
    program = program.substr(program.find_last_of(L"\\/") + 1);
    const std::wstring key = L"Software\\Wine\\AppDefaults\\" + program + L"\\X11 Driver";
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &handle, nullptr) != ERROR_SUCCESS) {
      return;
    }
    const wchar_t no[] = L"N";
    RegSetValueExW(handle, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(no), sizeof(no));
    RegCloseKey(handle);
  }
};

[[maybe_unused]] ::testing::Environment* const unmanaged_windows =
    ::testing::AddGlobalTestEnvironment(new UnmanagedWindowsUnderWine);

HWND CreateOwnerWindow() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    wc.lpszClassName = L"TavolexTestOwner";
    return RegisterClassExW(&wc) != 0;
  }();
  static_cast<void>(registered);
  HWND hwnd = CreateWindowExW(0, L"TavolexTestOwner", L"Test host", WS_OVERLAPPEDWINDOW, 20, 20,
                              320, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
  SetActiveWindow(hwnd);
  return hwnd;
}

}  // namespace

Win32Test::Win32Test(win32::Win32Options options) : ui(options) {
  owner = CreateOwnerWindow();
  application = Create<TApplication>(nullptr);
  application->SetHandle(AsHandle(owner));
  application->SetTitle("Tavolex test");
  previous_application_ = SetApplication(application);
}

Win32Test::~Win32Test() {
  ui.Backend().ProcessMessages();  // deferred releases
  SetApplication(previous_application_);
  application->Free();
  DestroyWindow(owner);
  BYTE state[256];
  GetKeyboardState(state);
  state[VK_SHIFT] = state[VK_LSHIFT] = 0;
  SetKeyboardState(state);
}

}  // namespace tvx::test
