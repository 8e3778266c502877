#include "host/main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <exception>

#include "host/host_log.h"
#include "host/host_results.h"
#include "host/login_dialog.h"
#include "host/server_data.h"

namespace tvx::host {

namespace {

constexpr UINT kStartMessage = WM_APP + 1;

std::wstring Wide(const std::string& text) {
  const std::u16string wide = tavolex::ToUtf16(text);
  return {wide.begin(), wide.end()};
}

std::string Narrow(const std::wstring& text) {
  return tavolex::ToUtf8({reinterpret_cast<const char16_t*>(text.data()), text.size()});
}

// A date in the user's short date format; empty for 0.
std::wstring DateText(double date) {
  if (date == 0) return {};
  SYSTEMTIME time;
  if (!VariantTimeToSystemTime(date, &time)) return L"?";
  wchar_t text[64];
  if (GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, text, 64) == 0) {
    return L"?";
  }
  return text;
}

// Roubles and kopecks in the user's number format.
std::wstring MoneyText(std::int64_t kopecks) {
  wchar_t plain[48];
  std::swprintf(plain, 48, L"%s%lld.%02lld", kopecks < 0 ? L"-" : L"",
                static_cast<long long>(std::abs(kopecks) / 100),
                static_cast<long long>(std::abs(kopecks) % 100));
  wchar_t text[64];
  if (GetNumberFormatW(LOCALE_USER_DEFAULT, 0, plain, nullptr, text, 64) == 0) return plain;
  return text;
}

tavolex::Ref<IUnknown> AsUnknown(IUnknown* fresh) { return tavolex::Ref<IUnknown>::Adopt(fresh); }

}  // namespace

MainWindow::MainWindow(const HostOptions& options, ApplicationState& state)
    : options_(options), state_(state) {
  example::ClientOptions client;
  client.host = options.server_host;
  client.port = options.server_port;
  client.client_name = "Кадры (пример хоста модулей)";
  client.user = options.user;
  client.password = options.password;
  client.tls = options.tls;
  client.tls_pin = options.tls_pin;
  connection_ = MakeHostObject<RemoteConnection>(client);

  tavolex::Ref<IUnknown> directory;
  switch (options.offer) {
    case DirectoryOffer::kFull:
    case DirectoryOffer::kNoAccess:
      directory = AsUnknown(new HostDirectory(connection_, true));
      break;
    case DirectoryOffer::kForeignObject:
      directory = AsUnknown(new ForeignObject());
      break;
    case DirectoryOffer::kNoDirectory:
      break;
  }
  main_form_ = AsUnknown(new HostMainForm(directory, options.offer != DirectoryOffer::kNoAccess));
  application_ = MakeHostObject<HostApplication>(state_, main_form_);
  state_.title = kApplicationTitle;
}

MainWindow::~MainWindow() {
  Shutdown();
  if (window_ != nullptr) DestroyWindow(window_);
  if (accelerators_ != nullptr) DestroyAcceleratorTable(accelerators_);
}

bool MainWindow::Create(HINSTANCE instance, int show) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = &MainWindow::WindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kMainWindowClass;
  if (RegisterClassExW(&window_class) == 0) {
    LogLine("cannot register the main window's class: error " + std::to_string(GetLastError()));
    return false;
  }

  HMENU menu = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, kRefreshId, L"&Обновить\tF5");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING, kExitId, L"В&ыход");
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&Файл");
  service_menu_ = CreatePopupMenu();
  AppendMenuW(service_menu_, MF_STRING | MF_GRAYED, 0, L"(модули загружаются)");
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(service_menu_), L"&Сервис");
  HMENU help = CreatePopupMenu();
  AppendMenuW(help, MF_STRING, kModulesId, L"&Модули...");
  AppendMenuW(help, MF_STRING, kAboutId, L"&О программе");
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Справка");

  ACCEL refresh{FVIRTKEY, VK_F5, kRefreshId};
  accelerators_ = CreateAcceleratorTableW(&refresh, 1);

  window_ =
      CreateWindowExW(0, kMainWindowClass, kMainWindowTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                      40, 30, 820, 560, nullptr, menu, instance, this);
  if (window_ == nullptr) {
    LogLine("cannot create the main window: error " + std::to_string(GetLastError()));
    DestroyMenu(menu);
    return false;
  }
  state_.window = window_;
  ShowWindow(window_, show);
  UpdateWindow(window_);
  // Reading the server and loading the modules happen once the loop runs, so that a box they
  // show has a running application behind it.
  PostMessageW(window_, kStartMessage, 0, 0);
  return true;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    auto* self = static_cast<MainWindow*>(create->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->window_ = hwnd;
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
  try {
    return self->OnMessage(message, wparam, lparam);
  } catch (const std::exception& error) {
    // Nothing may leave a window procedure.
    LogLine(std::string("unexpected error: ") + error.what());
    self->ShowError(error.what());
    return 0;
  }
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      CreateChildren();
      return 0;
    case WM_SIZE:
      Layout();
      return 0;
    case kStartMessage: {
      if (!options_.password_given && !LogIn()) {
        PostMessageW(window_, WM_CLOSE, 0, 0);
        return 0;
      }
      Refresh();
      std::string folder = options_.plugin_folder;
      if (folder.empty()) {
        wchar_t path[MAX_PATH];
        const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring exe(path, length);
        folder = Narrow(exe.substr(0, exe.find_last_of(L"\\/")));
      }
      LoadModules(folder);
      return 0;
    }
    case WM_COMMAND: {
      const UINT id = LOWORD(wparam);
      if (id == kRefreshId) {
        Refresh();
      } else if (id == kExitId) {
        PostMessageW(window_, WM_CLOSE, 0, 0);
      } else if (id == kModulesId) {
        ShowModules();
      } else if (id == kAboutId) {
        const std::wstring text =
            std::wstring(kMainWindowTitle) +
            L"\n\nПример приложения, которое загружает модули (*.plu) и предлагает их команды "
            L"в меню «Сервис».\nСервер приложений: " +
            Wide(options_.server_host) + L":" + std::to_wstring(options_.server_port);
        MessageBoxW(window_, text.c_str(), L"О программе", MB_OK | MB_ICONINFORMATION);
      } else if (id >= kFirstCommandId && id - kFirstCommandId < plugins_.Commands().size()) {
        RunCommand(id - kFirstCommandId);
      }
      return 0;
    }
    case WM_CLOSE:
      // A module's modal window keeps this one disabled; a close asked meanwhile waits.
      if (running_command_ || shut_down_) return 0;
      Shutdown();
      DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(state_.exit_code);
      return 0;
    default:
      return DefWindowProcW(window_, message, wparam, lparam);
  }
}

void MainWindow::CreateChildren() {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
  status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0,
                            0, 0, window_, nullptr, instance, nullptr);
  list_ = CreateWindowExW(
      WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 0, 0, 0,
      0, window_, nullptr, instance, nullptr);
  SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  struct Column {
    const wchar_t* title;
    int width;
    int format;
  };
  const Column columns[] = {{L"№", 60, LVCFMT_RIGHT},
                            {L"Принят", 120, LVCFMT_LEFT},
                            {L"Уволен", 120, LVCFMT_LEFT},
                            {L"Оклад, руб.", 130, LVCFMT_RIGHT},
                            {L"Изменён", 120, LVCFMT_LEFT}};
  for (int i = 0; i < static_cast<int>(std::size(columns)); ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.pszText = const_cast<wchar_t*>(columns[i].title);
    column.cx = columns[i].width;
    column.fmt = i == 0 ? LVCFMT_LEFT : columns[i].format;
    SendMessageW(list_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
  Layout();
}

void MainWindow::Layout() {
  if (status_ == nullptr || list_ == nullptr) return;
  SendMessageW(status_, WM_SIZE, 0, 0);
  RECT client;
  GetClientRect(window_, &client);
  RECT bar;
  GetWindowRect(status_, &bar);
  const int bar_height = bar.bottom - bar.top;
  const int width = client.right - client.left;
  const int parts[] = {width * 40 / 100, width * 66 / 100, -1};
  SendMessageW(status_, SB_SETPARTS, std::size(parts), reinterpret_cast<LPARAM>(parts));
  MoveWindow(list_, 0, 0, width, std::max(0L, client.bottom - bar_height), TRUE);
}

void MainWindow::SetStatus(int part, const std::wstring& text) {
  SendMessageW(status_, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(text.c_str()));
}

bool MainWindow::LogIn() {
  Login login{options_.user, {}};
  if (!AskForLogin(window_, login)) return false;
  example::ClientOptions client = connection_->Server().Options();
  client.user = login.user;
  client.password = login.password;
  connection_->Server().SetOptions(std::move(client));
  return true;
}

void MainWindow::Refresh() {
  const std::wstring address =
      Wide(options_.server_host) + L":" + std::to_wstring(options_.server_port);
  std::wstring staff_text;
  std::wstring history_text;
  std::wstring connection_text;
  nlohmann::json history_rows;  // null until the history is read
  SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
  try {
    const HistorySummary history = ReadHistorySummary(connection_->Server());
    history_rows = history.exports;
    connection_text = L"Сервер приложений " + address + L": подключено";
    history_text = history.exports == 0 ? std::wstring(L"Выгрузок в 1С не было")
                                        : L"Выгрузок в 1С: " + std::to_wstring(history.exports) +
                                              L", последняя " + DateText(history.latest);
    // The staff and their pay are for the roles that may read them.
    const std::vector<StaffRow> staff = ReadStaff(connection_->Server());
    int index = 0;
    int employed = 0;
    for (const StaffRow& row : staff) {
      if (row.dismissed == 0) ++employed;
      const std::wstring cells[] = {std::to_wstring(row.id), DateText(row.hired),
                                    DateText(row.dismissed), MoneyText(row.salary_kopecks),
                                    DateText(row.changed)};
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = index;
      item.pszText = const_cast<wchar_t*>(cells[0].c_str());
      const int at = static_cast<int>(
          SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
      for (int column = 1; column < static_cast<int>(std::size(cells)); ++column) {
        LVITEMW cell{};
        cell.iSubItem = column;
        cell.pszText = const_cast<wchar_t*>(cells[column].c_str());
        SendMessageW(list_, LVM_SETITEMTEXTW, at, reinterpret_cast<LPARAM>(&cell));
      }
      ++index;
    }
    staff_text = L"Сотрудников: " + std::to_wstring(staff.size()) + L" (работают " +
                 std::to_wstring(employed) + L")";
  } catch (const std::exception& error) {
    // The connection's own message names the server and the reason.
    (connection_text.empty() ? connection_text : staff_text) = Wide(error.what());
  }
  SetStatus(0, connection_text);
  SetStatus(1, staff_text);
  SetStatus(2, history_text);
  LogLine("status: " + Narrow(connection_text) + " | " + Narrow(staff_text) + " | " +
          Narrow(history_text));
  WriteResult({{"event", "status"},
               {"connection", Narrow(connection_text)},
               {"staff", Narrow(staff_text)},
               {"history", Narrow(history_text)},
               {"history_rows", history_rows}});
}

void MainWindow::LoadModules(const std::string& folder) {
  LogLine("loading modules from " + folder);
  plugins_.LoadAll(folder, application_.Get(), main_form_.Get(),
                   [this](const std::string& text) { ShowError(text); });
  BuildServiceMenu();
  LogLine("ready: " + std::to_string(plugins_.Modules().size()) + " module(s), " +
          std::to_string(plugins_.Commands().size()) + " command(s)");
  WriteResult({{"event", "ready"},
               {"modules", plugins_.Modules().size()},
               {"commands", plugins_.Commands().size()}});
}

void MainWindow::BuildServiceMenu() {
  while (GetMenuItemCount(service_menu_) > 0) DeleteMenu(service_menu_, 0, MF_BYPOSITION);
  const std::vector<PluginCommand>& commands = plugins_.Commands();
  std::vector<std::string> captions;
  for (std::size_t i = 0; i < commands.size(); ++i) {
    AppendMenuW(service_menu_, MF_STRING, kFirstCommandId + i, Wide(commands[i].caption).c_str());
    captions.push_back(commands[i].caption);
  }
  if (commands.empty()) {
    AppendMenuW(service_menu_, MF_STRING | MF_GRAYED, 0, L"(нет загруженных модулей)");
  }
  command_captions_ = std::move(captions);
  DrawMenuBar(window_);
  ready_.store(true);
}

std::optional<UINT> MainWindow::CommandId(const std::string& caption) const {
  if (!ready_.load()) return std::nullopt;
  for (std::size_t i = 0; i < command_captions_.size(); ++i) {
    if (command_captions_[i] == caption) return static_cast<UINT>(kFirstCommandId + i);
  }
  return std::nullopt;
}

void MainWindow::RunCommand(std::size_t index) {
  if (running_command_) return;
  const PluginCommand& command = plugins_.Commands()[index];
  LogLine("command " + command.name + " (" + command.module + "): started");
  running_command_ = true;
  try {
    // The sender is the main form, as a menu item of the host's would pass it.
    if (tavolex::Check(command.command->Execute(main_form_.Get())) == tavolex::kSilentAbort) {
      LogLine("command " + command.name + ": stopped by the module");
    } else {
      LogLine("command " + command.name + ": done");
    }
  } catch (const tavolex::ModuleError& error) {
    LogLine("command " + command.name + ": failed: " + error.ClassName() + ": " + error.what());
    ShowError(error.what());
  }
  running_command_ = false;
  if (state_.terminated) {
    // A quit message reached a module's loop; ours ends on it.
    PostQuitMessage(state_.exit_code);
    return;
  }
  // An export changes the history: show it.
  Refresh();
}

void MainWindow::ShowModules() {
  std::wstring text;
  for (const LoadedModule& module : plugins_.Modules()) {
    text += Wide(module.file_name) + L"\n  " + Wide(module.plugin_id);
    if (!module.description.empty()) text += L"\n  " + Wide(module.description);
    if (!module.author.empty()) text += L"\n  " + Wide(module.author);
    if (!module.copyright.empty()) text += L"\n  " + Wide(module.copyright);
    text += L"\n\n";
  }
  if (text.empty()) text = L"Ни один модуль не загружен.";
  MessageBoxW(window_, text.c_str(), L"Модули", MB_OK | MB_ICONINFORMATION);
}

void MainWindow::ShowError(const std::string& text) {
  MessageBoxW(window_, Wide(text).c_str(), kApplicationTitle, MB_OK | MB_ICONERROR);
}

void MainWindow::HandlePendingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void MainWindow::Shutdown() {
  if (shut_down_) return;
  shut_down_ = true;
  // A module's window released at the end of its command goes when its release is handled.
  HandlePendingMessages();
  plugins_.UnloadAll();
  application_->Forget();
  LogLine("modules unloaded");
}

int RunMessageLoop(MainWindow& window) {
  MSG msg;
  int code = 0;
  for (;;) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      code = static_cast<int>(msg.wParam);
      break;
    }
    if (got == -1) {
      code = 1;
      break;
    }
    if (TranslateAcceleratorW(window.window_, window.accelerators_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  window.Shutdown();
  return code;
}

}  // namespace tvx::host
