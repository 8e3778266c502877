#include "ui/win32/backend/win32_backend.h"

#include <algorithm>

#include "rtl/exceptions.h"
#include "ui/core/application.h"
#include "ui/core/form.h"
#include "ui/win32/backend/resolution.h"
#include "ui/win32/backend/sibling_order.h"
#include "ui/win32/peers/form_styles.h"

namespace tvx::win32 {

namespace {

constexpr const wchar_t* kMessageWindowClass = L"TavolexMessages";
// Asks the message window to run the oldest posted task.
constexpr UINT kRunTask = WM_APP + 1;

}  // namespace

Win32Backend::Win32Backend(Win32Options options) : options_(options) {
  AddStandardPeers(peers_);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &MessageWindowProc;
  wc.hInstance = ThisModule();
  wc.lpszClassName = kMessageWindowClass;
  if (RegisterClassExW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    throw EInvalidOperation("Cannot register the message window class");
  }
  message_window_ = CreateWindowExW(0, kMessageWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                    nullptr, ThisModule(), nullptr);
  if (message_window_ == nullptr) throw EInvalidOperation("Cannot create the message window");
  SetWindowLongPtrW(message_window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32Backend::~Win32Backend() {
  if (measure_dc_ != nullptr) DeleteDC(measure_dc_);
  SetWindowLongPtrW(message_window_, GWLP_USERDATA, 0);
  DestroyWindow(message_window_);
  UnregisterClassW(kMessageWindowClass, ThisModule());
  // A class whose windows still exist stays registered; nothing else can be done about it.
  for (const std::wstring& name : classes_) UnregisterClassW(name.c_str(), ThisModule());
}

void Win32Backend::EnsureClass(const std::wstring& name, UINT class_style, WNDPROC procedure) {
  if (classes_.count(name) != 0) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = class_style;
  wc.lpfnWndProc = procedure != nullptr ? procedure : &WindowPeer::WindowProc;
  wc.hInstance = ThisModule();
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = name.c_str();
  if (RegisterClassExW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    throw EInvalidOperation("Cannot register the window class " + Narrow(name));
  }
  classes_.insert(name);
}

void Win32Backend::SetNativeFocus(HWND hwnd) {
  ++setting_focus_;
  SetFocus(hwnd);
  --setting_focus_;
}

void Win32Backend::ReportEscaped(std::exception_ptr error) {
  try {
    Application()->HandleException(error);
  } catch (...) {
    if (escaped_ == nullptr) escaped_ = std::current_exception();
  }
}

void Win32Backend::RethrowEscaped() {
  if (escaped_ == nullptr) return;
  std::exception_ptr error = escaped_;
  escaped_ = nullptr;
  std::rethrow_exception(error);
}

int Win32Backend::Scale(int design_pixels) {
  return ::MulDiv(design_pixels, ScreenPixelsPerInch(), 96);
}

int Win32Backend::WindowPixelsPerInch(HWND window) const {
  if (options_.window_pixels_per_inch > 0) return options_.window_pixels_per_inch;
  if (options_.pixels_per_inch > 0) return 0;
  return win32::WindowPixelsPerInch(window);
}

std::unique_ptr<ControlPeer> Win32Backend::CreatePeer(TControl& control, WindowHandle owner) {
  const PeerCatalog::Factory* factory = peers_.Find(control.ClassType());
  if (factory == nullptr) {
    throw EInvalidOperation("No window is known for a control of class " + control.ClassName());
  }
  std::unique_ptr<WindowPeer> peer = (*factory)(*this, control);
  HWND parent = AsHwnd(owner);
  if (control.Parent() != nullptr) {
    const WindowPeer* parent_peer = WindowPeer::Of(control.Parent());
    if (parent_peer == nullptr || parent_peer->Hwnd() == nullptr) {
      throw EInvalidOperation("The parent of '" + control.Name() + "' has no window");
    }
    parent = parent_peer->Hwnd();
  }
  peer->Create(parent);
  // A control placed into a form already on the screen (in a container that may be hidden)
  // takes its place among its siblings; a form being shown orders all of its windows once they
  // exist.
  if (control.Parent() != nullptr && IsWindowVisible(GetAncestor(parent, GA_ROOT))) {
    ArrangeSiblings(*control.Parent(), &control, peer->Hwnd());
  }
  return peer;
}

void Win32Backend::BeginModal(TCustomForm& form) {
  modal_.push_back(
      ModalState{&form, std::make_unique<ThreadWindowsDisabled>(
                            std::initializer_list<HWND>{AsHwnd(form.Handle()), message_window_})});
}

void Win32Backend::EndModal(TCustomForm& form) {
  auto it = std::find_if(modal_.rbegin(), modal_.rend(),
                         [&](const ModalState& state) { return state.form == &form; });
  if (it != modal_.rend()) {
    // Enabled again before the form's window goes, so that activation can return to them.
    it->disabled->Restore();
    modal_.erase(std::next(it).base());
  }
  if (modal_.empty() && quit_pending_) {
    quit_pending_ = false;
    PostQuitMessage(static_cast<int>(quit_code_));
  }
}

HWND Win32Backend::ActiveModalWindow() const {
  if (modal_.empty()) return nullptr;
  HWND window = AsHwnd(modal_.back().form->Handle());
  return window != nullptr && IsWindow(window) ? window : nullptr;
}

void Win32Backend::HandleOne(MSG& msg) {
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  RethrowEscaped();
}

void Win32Backend::QuitReceived(WPARAM code) {
  // The thread is asked to end: the application is terminating, which ends modal loops with
  // the cancel result.
  Application()->Terminate();
  if (!modal_.empty()) {
    quit_pending_ = true;
    quit_code_ = code;
  } else {
    PostQuitMessage(static_cast<int>(code));
  }
}

void Win32Backend::HandleMessage() {
  RethrowEscaped();
  MSG msg;
  const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
  if (got == -1) return;
  if (got == 0) {
    QuitReceived(msg.wParam);
    return;
  }
  HandleOne(msg);
}

void Win32Backend::ProcessMessages() {
  RethrowEscaped();
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      QuitReceived(msg.wParam);
      return;
    }
    HandleOne(msg);
  }
}

void Win32Backend::Post(std::function<void()> task) {
  tasks_.push_back(std::move(task));
  PostMessageW(message_window_, kRunTask, 0, 0);
}

void Win32Backend::RunPostedTask() {
  if (tasks_.empty()) return;
  std::function<void()> task = std::move(tasks_.front());
  tasks_.pop_front();
  task();
}

LRESULT CALLBACK Win32Backend::MessageWindowProc(HWND hwnd, UINT message, WPARAM wparam,
                                                 LPARAM lparam) {
  auto* backend = reinterpret_cast<Win32Backend*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message != kRunTask || backend == nullptr) {
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  try {
    backend->RunPostedTask();
  } catch (...) {
    backend->ReportEscaped(std::current_exception());
  }
  return 0;
}

TSize Win32Backend::MeasureText(const std::string& text, const TFont& font) {
  if (measure_dc_ == nullptr) measure_dc_ = CreateCompatibleDC(nullptr);
  HDC dc = measure_dc_;
  HGDIOBJ previous = SelectObject(dc, gdi_.Font(font));
  const std::wstring wide = Wide(text);
  SIZE size{};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  if (wide.empty()) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    size.cy = metrics.tmHeight;
  }
  SelectObject(dc, previous);
  return TSize{size.cx, size.cy};
}

FrameInsets Win32Backend::FormFrame(TFormBorderStyle style, TBorderIcons icons,
                                    int frame_pixels_per_inch) {
  const FormStyles styles = StylesOfForm(style, icons);
  RECT rect{0, 0, 0, 0};
  if (!AdjustWindowRectForResolution(rect, styles.style, styles.ex_style, frame_pixels_per_inch)) {
    AdjustWindowRectEx(&rect, styles.style, FALSE, styles.ex_style);
  }
  return FrameInsets{-rect.left, -rect.top, rect.right, rect.bottom};
}

TRect Win32Backend::WorkArea() {
  RECT rect{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &rect, 0)) {
    rect = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  return TRect{rect.left, rect.top, rect.right, rect.bottom};
}

int Win32Backend::ScreenPixelsPerInch() {
  if (options_.pixels_per_inch > 0) return options_.pixels_per_inch;
  HDC dc = GetDC(nullptr);
  const int pixels = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return pixels > 0 ? pixels : 96;
}

Win32UserInterface::Win32UserInterface(Win32Options options)
    : backend_(options), previous_(SetUiBackend(&backend_)) {}

Win32UserInterface::~Win32UserInterface() { SetUiBackend(previous_); }

}  // namespace tvx::win32
