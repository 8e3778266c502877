#include "module_host.h"

#include <algorithm>
#include <ostream>

#include "rtl/text.h"

namespace tvx::test {

namespace {

// Wine takes a Windows path: the Unix root is drive Z.
std::string LoaderPath(std::string path) {
#ifdef _WIN32
  std::replace(path.begin(), path.end(), '/', '\\');
  return "Z:" + path;
#else
  return path;
#endif
}

HRESULT Check(HRESULT status) { return tavolex::Check(status); }

}  // namespace

std::string HeadlessLibraryPath() { return LoaderPath(TAVOLEX_HEADLESS_LIBRARY); }
std::string LibraryPath() { return LoaderPath(TAVOLEX_LIBRARY); }

Host::Host(MainForm main_form_kind, Directory directory_kind)
    : application(MakeHostObject<TestHostApplication>()),
      main_form(MakeHostObject<TestMainForm>()),
      directory(MakeHostObject<TestDirectory>()),
      server(TestAppServer::Create()) {
  connection = MakeHostObject<TestConnection>(server);
  directory->SetConnection(connection);
  directory->SetOffered(directory_kind == Directory::kWithIDirectory);
  if (directory_kind != Directory::kNone)
    main_form->SetDirectory(ComPtr<IUnknown>(directory.Get()));
  main_form->SetOffered(main_form_kind == MainForm::kWithDirectoryAccess);
  if (main_form_kind != MainForm::kNone) {
    application->SetMainForm(ComPtr<IUnknown>(main_form.Get()));
  }
}

std::vector<ULONG> Host::References() const {
  return {application->References(), main_form->References(), directory->References(),
          connection->References(), server->References()};
}

std::ostream& operator<<(std::ostream& out, const Box& box) {
  return out << "box kind " << box.kind << " \"" << box.title << "\" \"" << box.text << "\" owner "
             << box.owner;
}

std::ostream& operator<<(std::ostream& out, const Window& window) {
  return out << "window " << window.form << " owner " << window.owner;
}

void ModuleHostTest::SetUp() {
#ifdef _WIN32
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
#endif
  library_ = std::make_unique<tavolex::PluginLibrary>(HeadlessLibraryPath());
  driver_ = tavolex::Ref<tavolex::IHeadlessDriver>::Adopt(
      library_->Entry<tavolex::GetHeadlessDriverFunction>(tavolex::kGetHeadlessDriverEntry)());
  ASSERT_TRUE(driver_);
}

void ModuleHostTest::TearDown() {
  Unload();
#ifdef _WIN32
  CoUninitialize();
#endif
}

void ModuleHostTest::Unload() {
  driver_.Reset();
  if (library_) library_->Unload();
}

bool ModuleHostTest::Initialize(tavolex::IPlugin* plugin, const Host& host) {
  tavolex::Text file_name(std::string_view("Tavolex.plu"));
  VARIANT_BOOL allow = VARIANT_FALSE;
  Check(plugin->Initialize(nullptr, host.application.Get(), file_name.Get(), &allow));
  return allow != VARIANT_FALSE;
}

HRESULT ModuleHostTest::Execute(tavolex::IPlugin* plugin) {
  tavolex::Ref<tavolex::IPluginCommand> command;
  Check(plugin->GetCommand(0, command.Put()));
  return Check(command->Execute(nullptr));
}

void ModuleHostTest::WhenModal(std::function<void(const std::string& form)> step) {
  Check(driver_->WhenModal(MakeHostObject<ModalStep>(std::move(step)).Get()));
}

void ModuleHostTest::AnswerBox(LONG answer) { Check(driver_->AnswerBox(answer)); }

void ModuleHostTest::Click(const std::string& control) {
  Check(driver_->Click(tavolex::Text(std::string_view(control)).Get()));
}

std::string ModuleHostTest::ControlText(const std::string& control) {
  tavolex::Text text;
  Check(driver_->GetControlText(tavolex::Text(std::string_view(control)).Get(), text.Put()));
  return text.Utf8();
}

LONG ModuleHostTest::ControlState(const std::string& control) {
  LONG state = 0;
  Check(driver_->GetControlState(tavolex::Text(std::string_view(control)).Get(), &state));
  return state;
}

void ModuleHostTest::ProcessMessages() { Check(driver_->ProcessMessages()); }

std::vector<Box> ModuleHostTest::Boxes() {
  LONG count = 0;
  Check(driver_->GetBoxCount(&count));
  std::vector<Box> boxes;
  for (LONG i = 0; i < count; ++i) {
    Box box;
    tavolex::Text title, text;
    LONG answer = 0;
    Check(driver_->GetBox(i, &box.kind, title.Put(), text.Put(), &box.owner, &answer));
    box.title = title.Utf8();
    box.text = text.Utf8();
    boxes.push_back(box);
  }
  return boxes;
}

std::vector<Window> ModuleHostTest::Windows() {
  LONG count = 0;
  Check(driver_->GetWindowCount(&count));
  std::vector<Window> windows;
  for (LONG i = 0; i < count; ++i) {
    Window window;
    tavolex::Text form;
    tavolex::WindowHandleValue handle = 0;
    Check(driver_->GetWindow(i, form.Put(), &handle, &window.owner));
    window.form = form.Utf8();
    windows.push_back(window);
  }
  return windows;
}

bool ModuleHostTest::OwnApplicationCurrent() {
  VARIANT_BOOL own = VARIANT_FALSE;
  Check(driver_->GetOwnApplicationCurrent(&own));
  return own != VARIANT_FALSE;
}

LONG ModuleHostTest::PendingSteps() {
  LONG count = 0;
  Check(driver_->GetPendingSteps(&count));
  return count;
}

LONG ModuleHostTest::PostedCount() {
  LONG count = 0;
  Check(driver_->GetPostedCount(&count));
  return count;
}

}  // namespace tvx::test
