#include "windowed_host.h"

#include "com/bstr.h"
#include "rtl/text.h"

namespace tvx::test {

namespace {

constexpr wchar_t kWindowClass[] = L"TavolexTestHost";
constexpr UINT_PTR kIdleTimer = 1;
constexpr UINT kIdleMilliseconds = 2;

}  // namespace

WindowedHostApplication::WindowedHostApplication(std::function<void()> idle)
    : idle_(std::move(idle)) {
  static const bool registered = [] {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = &WindowProc;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    window_class.lpszClassName = kWindowClass;
    return RegisterClassExW(&window_class) != 0;
  }();
  static_cast<void>(registered);
  window_ = CreateWindowExW(0, kWindowClass, kMainWindowTitle, WS_OVERLAPPEDWINDOW, 40, 40, 480,
                            320, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
  SetActiveWindow(window_);
  SetTimer(window_, kIdleTimer, kIdleMilliseconds, nullptr);
}

WindowedHostApplication::~WindowedHostApplication() {
  KillTimer(window_, kIdleTimer);
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
}

LRESULT CALLBACK WindowedHostApplication::WindowProc(HWND window, UINT message, WPARAM wparam,
                                                     LPARAM lparam) {
  auto* self = reinterpret_cast<WindowedHostApplication*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self != nullptr &&
      ((message == WM_TIMER && wparam == kIdleTimer) || message == WM_ENTERIDLE)) {
    self->Idle();
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

void WindowedHostApplication::Idle() {
  if (idle_) idle_();
}

void WindowedHostApplication::Handle(MSG& message) {
  if (message.message == WM_QUIT) {
    terminated_ = true;
    return;
  }
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void WindowedHostApplication::ProcessMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) Handle(message);
}

HRESULT WindowedHostApplication::GetHandle(tavolex::WindowHandleValue* window) {
  *window = reinterpret_cast<tavolex::WindowHandleValue>(window_);
  return S_OK;
}

HRESULT WindowedHostApplication::GetTitle(BSTR* title) {
  const std::wstring_view text(kTitle);
  *title = BStr(std::u16string(text.begin(), text.end())).Detach();
  return S_OK;
}

HRESULT WindowedHostApplication::GetMainForm(IUnknown** form) {
  *form = ComPtr<IUnknown>(main_form_).Detach();
  return S_OK;
}

HRESULT WindowedHostApplication::GetTerminated(VARIANT_BOOL* terminated) {
  *terminated = terminated_ ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT WindowedHostApplication::HandleException(BSTR class_name, BSTR message,
                                                 VARIANT_BOOL* handled) {
  exceptions_.push_back(Utf16ToUtf8(BStrView(class_name)) + ": " + Utf16ToUtf8(BStrView(message)));
  *handled = VARIANT_FALSE;
  return S_OK;
}

HRESULT WindowedHostApplication::HandleMessage() {
  if (!loop_offered_) return E_NOTIMPL;
  ++loop_turns_;
  MSG message;
  if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    Handle(message);
  } else {
    // Nothing waiting: the host's idle work, then wait for the next message.
    Idle();
    WaitMessage();
  }
  return S_OK;
}

WindowedHost::WindowedHost(std::function<void()> idle)
    : application(MakeHostObject<WindowedHostApplication>(std::move(idle))),
      main_form(MakeHostObject<TestMainForm>()),
      directory(MakeHostObject<TestDirectory>()),
      server(TestAppServer::Create()) {
  connection = MakeHostObject<TestConnection>(server);
  directory->SetConnection(connection);
  main_form->SetDirectory(ComPtr<IUnknown>(directory.Get()));
  application->SetMainForm(ComPtr<IUnknown>(main_form.Get()));
}

}  // namespace tvx::test
