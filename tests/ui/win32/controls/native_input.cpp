#include "native_input.h"

#include <cstring>

#include "ui/core/backend.h"

namespace tvx::test {

namespace {

void SetModifiers(BYTE (&keys)[256], ShiftState shift) {
  auto set = [&](int key, bool down) { keys[key] = down ? 0x80 : 0; };
  set(VK_SHIFT, shift.shift);
  set(VK_LSHIFT, shift.shift);
  set(VK_CONTROL, shift.ctrl);
  set(VK_LCONTROL, shift.ctrl);
  set(VK_MENU, shift.alt);
  set(VK_LMENU, shift.alt);
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

}  // namespace

void PressKey(HWND window, KeyCode key, ShiftState shift) {
  BYTE saved[256];
  GetKeyboardState(saved);
  BYTE keys[256];
  std::memcpy(keys, saved, sizeof(keys));
  SetModifiers(keys, shift);
  SetKeyboardState(keys);
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
  const LPARAM context = shift.alt ? (LPARAM{1} << 29) : 0;
  const LPARAM down = 1 | scan | context;
  const LPARAM up = down | (LPARAM{1} << 30) | (LPARAM{1} << 31);
  SendMessageW(window, shift.alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, down);
  if (IsWindow(window)) SendMessageW(window, shift.alt ? WM_SYSKEYUP : WM_KEYUP, key, up);
  SetKeyboardState(saved);
  Pump();
}

void TypeText(HWND window, const std::wstring& text) {
  for (wchar_t c : text) SendMessageW(window, WM_CHAR, c, 1);
  Pump();
}

void ClickAt(HWND window, POINT point) {
  const LPARAM where = MAKELPARAM(point.x, point.y);
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
  if (IsWindow(window)) SendMessageW(window, WM_LBUTTONUP, 0, where);
  Pump();
}

void TurnWheel(HWND window, int delta) {
  RECT rect;
  GetWindowRect(window, &rect);
  const LPARAM where = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))),
               where);
  Pump();
}

void Pump() { UiBackend().ProcessMessages(); }

bool FocusSettlesOn(HWND window, int milliseconds) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
  bool activated_again = false;
  for (;;) {
    Pump();
    if (GetFocus() == window) return true;
    // Under Wine on an X display without a window manager, the X focus now and then falls to
    // the root window as a message box goes away, and Wine then makes the desktop the
    // foreground window: no window of the thread is active, so none has the focus. Windows
    // gives the activation back to the box's owner. The test activates the window's form
    // again, once, as the operator would by clicking it; the form then gives the focus to the
    // control that had it, which must be this window.
    if (!activated_again && GetForegroundWindow() == GetDesktopWindow()) {
      activated_again = true;
      SetForegroundWindow(GetAncestor(window, GA_ROOT));
      continue;
    }
    if (GetTickCount64() >= deadline) return false;
    Sleep(10);
  }
}

Picture::Picture(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  Take(SIZE{client.right, client.bottom}, [window](HDC dc) {
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  });
}

Picture::Picture(SIZE size, COLORREF background, const std::function<void(HDC)>& draw) {
  Take(size, [&](HDC dc) {
    SetBkColor(dc, background);
    const RECT all{0, 0, size.cx, size.cy};
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
    draw(dc);
  });
}

void Picture::Take(SIZE size, const std::function<void(HDC)>& draw) {
  width_ = size.cx;
  height_ = size.cy;
  if (width_ <= 0 || height_ <= 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  const HGDIOBJ previous = SelectObject(dc, bitmap);
  draw(dc);
  GdiFlush();
  const auto* data = static_cast<const uint32_t*>(bits);
  pixels_.resize(static_cast<size_t>(width_) * height_);
  for (size_t i = 0; i < pixels_.size(); ++i) {
    const uint32_t bgr = data[i];
    pixels_[i] = RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
  }
  SelectObject(dc, previous);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

int Differences(const Picture& a, const Picture& b, const RECT& area) {
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) count += a.Pixel(x, y) != b.Pixel(x, y) ? 1 : 0;
  }
  return count;
}

COLORREF Picture::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
  return pixels_[static_cast<size_t>(y) * width_ + x];
}

bool Picture::Contains(const RECT& area, COLORREF color) const {
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      if (Pixel(x, y) == color) return true;
    }
  }
  return false;
}

BoxAnswerer::BoxAnswerer(std::wstring title, int button)
    : title_(std::move(title)), button_(button), process_(GetCurrentProcessId()) {
  thread_ = std::thread([this] { Watch(); });
}

BoxAnswerer::~BoxAnswerer() { Stop(); }

const std::vector<BoxAnswerer::Box>& BoxAnswerer::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  return boxes_;
}

HWND BoxAnswerer::FindBox() const {
  struct Search {
    const BoxAnswerer* self;
    HWND found;
  } search{this, nullptr};
  EnumWindows(
      [](HWND window, LPARAM data) CALLBACK -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process != s.self->process_ || !IsWindowVisible(window)) return TRUE;
        if (ClassOf(window) != L"#32770" || win32::WindowText(window) != s.self->title_) {
          return TRUE;
        }
        s.found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void BoxAnswerer::Watch() {
  while (!stop_) {
    HWND box = FindBox();
    if (box == nullptr) {
      Sleep(10);
      continue;
    }
    Box seen;
    // The text of a message box is its static control 0xFFFF.
    seen.text = win32::WindowText(GetDlgItem(box, 0xFFFF));
    EnumChildWindows(
        box,
        [](HWND child, LPARAM data) CALLBACK -> BOOL {
          if (ClassOf(child) == L"Button" && IsWindowVisible(child)) {
            reinterpret_cast<std::vector<int>*>(data)->push_back(GetDlgCtrlID(child));
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&seen.buttons));
    boxes_.push_back(std::move(seen));
    HWND button = GetDlgItem(box, button_);
    DWORD_PTR result = 0;
    if (button != nullptr) {
      SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &result);
    } else {
      // No such button: the box is closed as its close box would.
      SendMessageTimeoutW(box, WM_CLOSE, 0, 0, SMTO_NORMAL, 5000, &result);
    }
    // The same box is not counted twice while it goes.
    for (int i = 0; i < 500 && IsWindow(box) && IsWindowVisible(box); ++i) Sleep(10);
  }
}

}  // namespace tvx::test
