#include "host/scripted_operator.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cwctype>
#include <stdexcept>

#include "host/host_log.h"
#include "host/host_results.h"
#include "tavolex/host.h"

namespace tvx::host {

namespace {

class StepFailed : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

constexpr std::chrono::milliseconds kPoll{50};
constexpr UINT kSettleTimeoutMs = 30000;

std::wstring Wide(const std::string& text) {
  const std::u16string wide = tavolex::ToUtf16(text);
  return {wide.begin(), wide.end()};
}

std::string Narrow(const std::wstring& text) {
  return tavolex::ToUtf8({reinterpret_cast<const char16_t*>(text.data()), text.size()});
}

// A window's text as the window holds it, without sending it a message: the operator must
// not wait for a thread that is busy in a call to the server.
std::wstring TextOf(HWND window) {
  wchar_t text[1024];
  const int length = InternalGetWindowText(window, text, 1024);
  return std::wstring(text, static_cast<std::size_t>(std::max(length, 0)));
}

std::wstring ClassOf(HWND window) {
  wchar_t name[128];
  const int length = GetClassNameW(window, name, 128);
  return std::wstring(name, static_cast<std::size_t>(std::max(length, 0)));
}

bool SameText(const std::wstring& a, const std::wstring& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
}

// A caption as shown: '&' marks the access key, "&&" is an ampersand.
std::wstring ShownCaption(const std::wstring& caption) {
  std::wstring shown;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == L'&' && i + 1 < caption.size()) ++i;
    shown += caption[i];
  }
  return shown;
}

bool OfThisProcess(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId();
}

constexpr wchar_t kDialogClass[] = L"#32770";

// A visible top-level window of this process with that title (and, for a box, of the dialog
// class that message boxes have).
HWND FindTop(const std::wstring& title, bool box) {
  struct Search {
    const std::wstring* title;
    bool box;
    HWND found;
  } search{&title, box, nullptr};
  EnumWindows(
      [](HWND window, LPARAM data) CALLBACK -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (!OfThisProcess(window) || !IsWindowVisible(window)) return TRUE;
        if (TextOf(window) != *s->title) return TRUE;
        if (s->box && ClassOf(window) != kDialogClass) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Every descendant of a window, in the order the system lists them.
std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> windows;
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM data) CALLBACK -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// Visible itself and every parent up to the top-level window.
bool Shown(HWND window) { return IsWindowVisible(window) != FALSE; }

// The texts of a message box (its static controls that hold one).
std::string BoxText(HWND box) {
  std::wstring text;
  for (HWND child : Descendants(box)) {
    if (ClassOf(child) == L"Static" && !TextOf(child).empty()) {
      if (!text.empty()) text += L" ";
      text += TextOf(child);
    }
  }
  return Narrow(text);
}

struct KeyName {
  const char* name;
  WORD key;
  bool extended;
};

constexpr KeyName kKeys[] = {
    {"Tab", VK_TAB, false},      {"Enter", VK_RETURN, false},   {"Escape", VK_ESCAPE, false},
    {"Space", VK_SPACE, false},  {"Backspace", VK_BACK, false}, {"Delete", VK_DELETE, true},
    {"Insert", VK_INSERT, true}, {"Home", VK_HOME, true},       {"End", VK_END, true},
    {"PageUp", VK_PRIOR, true},  {"PageDown", VK_NEXT, true},   {"Left", VK_LEFT, true},
    {"Right", VK_RIGHT, true},   {"Up", VK_UP, true},           {"Down", VK_DOWN, true},
    {"F1", VK_F1, false},        {"F2", VK_F2, false},          {"F3", VK_F3, false},
    {"F4", VK_F4, false},        {"F5", VK_F5, false},          {"F6", VK_F6, false},
    {"F7", VK_F7, false},        {"F8", VK_F8, false},          {"F9", VK_F9, false},
    {"F10", VK_F10, false},      {"F11", VK_F11, false},        {"F12", VK_F12, false},
};

struct Key {
  WORD code;
  bool extended;
  bool alt;
};

Key ParseKey(std::string name) {
  Key key{0, false, false};
  if (name.rfind("Alt+", 0) == 0) {
    key.alt = true;
    name = name.substr(4);
  }
  for (const KeyName& known : kKeys) {
    if (name == known.name) {
      key.code = known.key;
      key.extended = known.extended;
      return key;
    }
  }
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
    key.code = static_cast<WORD>(std::toupper(static_cast<unsigned char>(name[0])));
    return key;
  }
  throw StepFailed("unknown key \"" + name + "\" (Shift and Ctrl cannot be posted)");
}

LPARAM KeyData(const Key& key, bool up) {
  LPARAM data = 1;
  data |= static_cast<LPARAM>(MapVirtualKeyW(key.code, MAPVK_VK_TO_VSC) & 0xFF) << 16;
  if (key.extended) data |= LPARAM{1} << 24;
  if (key.alt) data |= LPARAM{1} << 29;
  if (up) data |= (LPARAM{1} << 30) | (LPARAM{1} << 31);
  return data;
}

}  // namespace

ScriptedOperator::ScriptedOperator(std::vector<ScriptStep> steps, OperatorSetup setup)
    : steps_(std::move(steps)), setup_(std::move(setup)) {
  ui_thread_ = GetWindowThreadProcessId(setup_.main_window, nullptr);
}

ScriptedOperator::~ScriptedOperator() {
  stopping_.store(true);
  if (thread_.joinable()) thread_.join();
}

void ScriptedOperator::Start() {
  thread_ = std::thread([this] { Run(); });
}

void ScriptedOperator::Run() {
  LogLine("script: " + std::to_string(steps_.size()) + " steps");
  for (const ScriptStep& step : steps_) {
    if (stopping_.load()) return;
    LogLine("step " + std::to_string(step.line) + ": " + step.text);
    try {
      Do(step);
    } catch (const std::exception& error) {
      if (stopping_.load()) return;
      LogLine("script failed at line " + std::to_string(step.line) + " (" + step.text +
              "): " + error.what());
      WriteResult({{"event", "script"},
                   {"result", "failed"},
                   {"line", step.line},
                   {"step", step.text},
                   {"error", error.what()}});
      // The windows may be in any state now; a test wants the failure, not a tidy exit.
      TerminateProcess(GetCurrentProcess(), kScriptFailedExitCode);
    }
  }
  LogLine("script: done");
  WriteResult({{"event", "script"}, {"result", "done"}});
}

HWND ScriptedOperator::WaitFor(const std::function<HWND()>& found, const std::string& what,
                               bool gone) {
  const auto deadline = std::chrono::steady_clock::now() + timeout_;
  for (;;) {
    if (stopping_.load()) throw StepFailed("the host is closing");
    HWND window = found();
    if ((window != nullptr) != gone) return window;
    if (std::chrono::steady_clock::now() >= deadline) {
      throw StepFailed((gone ? "still there after " : "not there after ") +
                       std::to_string(timeout_.count() / 1000) + " s: " + what);
    }
    std::this_thread::sleep_for(kPoll);
  }
}

void ScriptedOperator::Settle(HWND window) {
  // A sent message is handled only when the window's thread takes its messages again, which
  // it does after what was posted before; the repaint that follows is then given time.
  for (int round = 0; round < 2; ++round) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kSettleTimeoutMs, &result);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
  }
}

void ScriptedOperator::Pace() {
  if (setup_.pace_ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(setup_.pace_ms));
}

HWND ScriptedOperator::Current(const char* verb) const {
  if (current_ == nullptr || !IsWindow(current_)) {
    throw StepFailed(std::string(verb) + ": no current window (wait for one first)");
  }
  return current_;
}

HWND ScriptedOperator::FocusedWindow() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (GetGUIThreadInfo(ui_thread_, &info) && info.hwndFocus != nullptr) return info.hwndFocus;
  return Current("key");
}

void ScriptedOperator::Do(const ScriptStep& step) {
  const std::wstring argument = Wide(step.argument);
  switch (step.verb) {
    case Verb::kCommand: {
      std::optional<UINT> id;
      WaitFor(
          [&]() -> HWND {
            id = setup_.command_id(step.argument);
            return id ? setup_.main_window : nullptr;
          },
          "a module's command \"" + step.argument + "\"");
      Pace();
      PostMessageW(setup_.main_window, WM_COMMAND, MAKEWPARAM(*id, 0), 0);
      return;
    }
    case Verb::kWait:
    case Verb::kWaitBox: {
      const bool box = step.verb == Verb::kWaitBox;
      // An error box of the host's that the script does not wait for ends the wait at once.
      const bool errors_unexpected = argument != setup_.error_title;
      current_ = WaitFor(
          [&]() -> HWND {
            HWND error = errors_unexpected ? FindTop(setup_.error_title, true) : nullptr;
            if (error != nullptr) throw StepFailed("an error box came instead: " + BoxText(error));
            HWND window = FindTop(argument, box);
            return window != nullptr && IsWindowEnabled(window) ? window : nullptr;
          },
          (box ? "a message box \"" : "a window \"") + step.argument + "\"");
      Settle(current_);
      if (box) {
        const std::string text = BoxText(current_);
        LogLine("box: " + step.argument + ": " + text);
        WriteResult({{"event", "box"}, {"title", step.argument}, {"text", text}});
      }
      return;
    }
    case Verb::kGone:
      WaitFor([&] { return FindTop(argument, false); }, "a window \"" + step.argument + "\"", true);
      return;
    case Verb::kTexts: {
      HWND window = Current("texts");
      Settle(window);
      LogLine("texts of \"" + Narrow(TextOf(window)) + "\":");
      nlohmann::json controls = nlohmann::json::array();
      for (HWND child : Descendants(window)) {
        const std::wstring text = TextOf(child);
        const std::wstring kind = ClassOf(child);
        if (!Shown(child) || (text.empty() && kind != L"TavolexDateEdit")) continue;
        const bool enabled = IsWindowEnabled(child) != FALSE;
        std::string state = enabled ? "" : " (disabled)";
        nlohmann::json control = {
            {"class", Narrow(kind)}, {"text", Narrow(text)}, {"enabled", enabled}};
        const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE) & BS_TYPEMASK;
        if (SameText(kind, L"Button") && (style == BS_RADIOBUTTON || style == BS_AUTORADIOBUTTON ||
                                          style == BS_CHECKBOX || style == BS_AUTOCHECKBOX)) {
          DWORD_PTR check = 0;
          SendMessageTimeoutW(child, BM_GETCHECK, 0, 0, SMTO_NORMAL, kSettleTimeoutMs, &check);
          state += check == BST_CHECKED ? " (checked)" : "";
          control["checked"] = check == BST_CHECKED;
        }
        LogLine("  " + Narrow(kind) + ": " + Narrow(text) + state);
        controls.push_back(std::move(control));
      }
      WriteResult({{"event", "texts"}, {"window", Narrow(TextOf(window))}, {"controls", controls}});
      return;
    }
    case Verb::kShot: {
      Settle(current_ != nullptr && IsWindow(current_) ? current_ : setup_.main_window);
      if (setup_.shots.empty()) {
        LogLine("shot " + step.argument + ": no shots folder, skipped");
        return;
      }
      const std::wstring file = setup_.shots + L"\\" + argument + L".png";
      DeleteFileW(file.c_str());
      LogLine("@@shot " + step.argument);
      try {
        WaitFor(
            [&]() -> HWND {
              return GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES
                         ? setup_.main_window
                         : nullptr;
            },
            "the screenshot " + Narrow(file));
      } catch (const StepFailed& error) {
        // A missing picture spoils the record, not the run.
        LogLine(std::string("shot not taken: ") + error.what());
      }
      return;
    }
    case Verb::kClick: {
      HWND window = Current("click");
      HWND button = nullptr;
      for (HWND child : Descendants(window)) {
        if (SameText(ClassOf(child), L"Button") && ShownCaption(TextOf(child)) == argument) {
          button = child;
          break;
        }
      }
      if (button == nullptr) throw StepFailed("no button \"" + step.argument + "\"");
      if (!IsWindowEnabled(button) || !IsWindowVisible(button)) {
        throw StepFailed("the button \"" + step.argument + "\" is disabled or hidden");
      }
      Pace();
      PostMessageW(button, BM_CLICK, 0, 0);
      return;
    }
    case Verb::kOk: {
      HWND box = Current("ok");
      HWND button = GetDlgItem(box, IDOK);
      if (button == nullptr) throw StepFailed("the window has no OK button");
      Pace();
      PostMessageW(button, BM_CLICK, 0, 0);
      // The box is answered once it has gone; what the script waits for next comes after it.
      WaitFor([&]() -> HWND { return IsWindow(box) && IsWindowVisible(box) ? box : nullptr; },
              "the answered box", true);
      return;
    }
    case Verb::kKey: {
      const Key key = ParseKey(step.argument);
      HWND target = FocusedWindow();
      Pace();
      PostMessageW(target, key.alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key.code, KeyData(key, false));
      PostMessageW(target, key.alt ? WM_SYSKEYUP : WM_KEYUP, key.code, KeyData(key, true));
      return;
    }
    case Verb::kType: {
      HWND target = FocusedWindow();
      Pace();
      for (wchar_t c : argument) PostMessageW(target, WM_CHAR, c, 1);
      return;
    }
    case Verb::kClose:
      Pace();
      PostMessageW(Current("close"), WM_CLOSE, 0, 0);
      return;
    case Verb::kStatus: {
      DWORD_PTR result = 0;
      // Refreshing first: what the bar shows then is the server's state now.
      SendMessageTimeoutW(setup_.main_window, WM_COMMAND, MAKEWPARAM(setup_.refresh_command, 0), 0,
                          SMTO_NORMAL, static_cast<UINT>(timeout_.count()), &result);
      return;
    }
    case Verb::kQuit:
      Pace();
      PostMessageW(setup_.main_window, WM_CLOSE, 0, 0);
      return;
    case Verb::kTimeout: {
      const long seconds = std::strtol(step.argument.c_str(), nullptr, 10);
      if (seconds <= 0) throw StepFailed("timeout needs a number of seconds");
      timeout_ = std::chrono::seconds(seconds);
      return;
    }
    case Verb::kPause:
      std::this_thread::sleep_for(
          std::chrono::milliseconds(std::strtol(step.argument.c_str(), nullptr, 10)));
      return;
    case Verb::kSay:
      LogLine("say: " + step.argument);
      return;
  }
}

}  // namespace tvx::host
