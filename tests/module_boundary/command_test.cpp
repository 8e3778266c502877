// Running the plug-in's command against the test application server, with the operator played
// through the headless driver: the export options dialog and the history view, the calls the
// server receives, and the command without a way to the server.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "module_host.h"
#include "rtl/datetime.h"
#include "support/history_table.h"

namespace tvx::test {
namespace {

constexpr char kDone[] = "Экспорт данных завершен!";
constexpr char kNoDirectory[] =
    "Нет связи с сервером приложений: приложение не предоставило каталог (IDirectory)";
constexpr char kNoDirectoryAccess[] = "Приложение не поддерживает интерфейс IDirectoryAccess";
constexpr double kLatestExportTo = 45090.0;
constexpr auto kWindow = TestHostApplication::kWindow;

const HistoryRow kHistory[] = {
    {2, 45100.25, 44990.0, kLatestExportTo},
    {1, 45000.5, 44900.0, 44990.0},
};

std::vector<std::string> Methods(const TestAppServer& server) {
  std::vector<std::string> methods;
  for (const ReceivedCall& call : server.Calls()) methods.push_back(call.method);
  return methods;
}

class CommandTest : public ModuleHostTest {
 protected:
  void SetUp() override {
    ModuleHostTest::SetUp();
    host_.server->SetPacket(HistoryTable(kHistory));
  }

  Host host_;
};

TEST_F(CommandTest, TwoRunsDriveTheDialogAndTheHistoryViewAgainstTheServer) {
  const std::vector<ULONG> references = host_.References();
  tavolex::Ref<tavolex::IPlugin> plugin = NewPlugin();
  ASSERT_TRUE(Initialize(plugin.Get(), host_));

  // First run: the operator looks at the history, closes it, and exports everything.
  WhenModal([&](const std::string& form) {
    EXPECT_EQ(form, "Export1CConfigDlg");
    EXPECT_EQ(ControlState("btnShowHistory") & tavolex::kControlEnabled, tavolex::kControlEnabled);
    Click("btnShowHistory");
  });
  WhenModal([&](const std::string& form) {
    EXPECT_EQ(form, "ExportHistoryForm");
    Click("btnOK");
  });
  WhenModal([&](const std::string& form) {
    EXPECT_EQ(form, "Export1CConfigDlg");
    Click("eExportAll");
    Click("btnOK");
  });
  AnswerBox(tavolex::kResultOk);
  Execute(plugin.Get());
  EXPECT_EQ(PendingSteps(), 0);
  // The dialog is released when the host's message loop next runs, after the command returned.
  EXPECT_EQ(PostedCount(), 1);
  ProcessMessages();
  EXPECT_EQ(PostedCount(), 0);

  // Second run: the changes since the latest export, as the dialog proposes them.
  WhenModal([&](const std::string& form) {
    EXPECT_EQ(form, "Export1CConfigDlg");
    EXPECT_EQ(ControlState("eExportChanges") & tavolex::kControlChecked, tavolex::kControlChecked);
    Click("btnOK");
  });
  AnswerBox(tavolex::kResultOk);
  const double today_before = Date();
  Execute(plugin.Get());
  const double today_after = Date();
  ProcessMessages();

  EXPECT_EQ(host_.directory->Calls(),
            (std::vector<std::string>{"GetRemoteServer", "GetRemoteServer"}));
  // Each call to the server reads the connection's AppServer anew.
  EXPECT_EQ(host_.connection->Calls().size(), 4u);
  EXPECT_EQ(Windows(), (std::vector<Window>{{"Export1CConfigDlg", kWindow},
                                            {"ExportHistoryForm", kWindow},
                                            {"Export1CConfigDlg", kWindow}}));
  const Box done{tavolex::kBoxInformation, "Information", kDone, kWindow};
  EXPECT_EQ(Boxes(), (std::vector<Box>{done, done}));
  EXPECT_TRUE(host_.application->Exceptions().empty());

  ASSERT_EQ(Methods(*host_.server), (std::vector<std::string>{"AS_GetRecords", "ExportAllData",
                                                              "AS_GetRecords", "ExportData1C"}));
  const std::vector<ReceivedArgument>& arguments = host_.server->Calls()[3].arguments;
  ASSERT_EQ(arguments.size(), 5u);
  EXPECT_EQ(arguments[0].vt, VT_DATE);
  EXPECT_EQ(arguments[0].value->date, kLatestExportTo);
  EXPECT_EQ(arguments[1].vt, VT_DATE);
  EXPECT_GE(arguments[1].value->date, today_before);
  EXPECT_LE(arguments[1].value->date, today_after);
  EXPECT_EQ(arguments[2].vt, VT_I4);
  EXPECT_EQ(arguments[3].vt, VT_I4);
  EXPECT_EQ(arguments[4].vt, VT_BYREF | VT_VARIANT);

  plugin.Reset();
  EXPECT_TRUE(OwnApplicationCurrent());
  EXPECT_EQ(host_.References(), references);
  EXPECT_TRUE(host_.main_form->Calls() == std::vector<std::string>{"GetDirectory"});
}

TEST_F(CommandTest, TheOperatorCancelsAndNothingIsExported) {
  tavolex::Ref<tavolex::IPlugin> plugin = NewPlugin();
  ASSERT_TRUE(Initialize(plugin.Get(), host_));
  WhenModal([&](const std::string&) { Click("btnCancel"); });
  Execute(plugin.Get());
  ProcessMessages();
  EXPECT_EQ(Methods(*host_.server), std::vector<std::string>{"AS_GetRecords"});
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(CommandTest, AHistoryThatCannotBeReadFailsTheCommandWithoutShowingTheDialog) {
  host_.server->FailGetRecords(E_FAIL, u"Нет доступа к истории");
  tavolex::Ref<tavolex::IPlugin> plugin = NewPlugin();
  ASSERT_TRUE(Initialize(plugin.Get(), host_));
  try {
    Execute(plugin.Get());
    ADD_FAILURE() << "the command succeeded";
  } catch (const tavolex::ModuleError& error) {
    EXPECT_NE(std::string(error.what()).find("Нет доступа к истории"), std::string::npos)
        << error.what();
  }
  EXPECT_TRUE(Windows().empty());
  EXPECT_TRUE(Boxes().empty());
  // Released all the same, once the message loop runs.
  EXPECT_EQ(PostedCount(), 1);
  ProcessMessages();
  EXPECT_EQ(PostedCount(), 0);
}

// An exception in the dialog's handler goes to the host's exception event; left unhandled
// there, the module shows its own box with the host's title.
TEST_F(CommandTest, AServerErrorInTheDialogGoesToTheHostsExceptionEvent) {
  for (const bool host_handles : {true, false}) {
    SCOPED_TRACE(host_handles ? "handled by the host" : "left to the module");
    Host host;
    host.server->SetPacket(HistoryTable(kHistory));
    host.server->FailWithException(E_FAIL, u"Экспорт уже выполняется");
    host.application->SetHandlesExceptions(host_handles);
    const std::size_t boxes_before = Boxes().size();
    tavolex::Ref<tavolex::IPlugin> plugin = NewPlugin();
    ASSERT_TRUE(Initialize(plugin.Get(), host));

    WhenModal([&](const std::string&) {
      Click("eExportAll");
      Click("btnOK");
    });
    WhenModal([&](const std::string& form) {
      EXPECT_EQ(form, "Export1CConfigDlg");  // still open after the failure
      Click("btnCancel");
    });
    if (!host_handles) AnswerBox(tavolex::kResultOk);
    Execute(plugin.Get());
    ProcessMessages();

    EXPECT_EQ(host.application->Exceptions(),
              std::vector<std::string>{"EOleException: Экспорт уже выполняется"});
    std::vector<Box> shown = Boxes();
    shown.erase(shown.begin(), shown.begin() + static_cast<std::ptrdiff_t>(boxes_before));
    std::vector<Box> expected;
    if (!host_handles) {
      expected.push_back({tavolex::kBoxError, "Кадры", "Экспорт уже выполняется.", kWindow});
    }
    EXPECT_EQ(shown, expected);
  }
}

struct NoDirectoryCase {
  const char* name;
  Host::MainForm main_form;
  Host::Directory directory;
  bool initialise;
  // Boxes before the command's, and the owner of the command's box.
  std::vector<std::string> earlier_boxes;
  tavolex::WindowHandleValue owner;
};

void PrintTo(const NoDirectoryCase& c, std::ostream* out) { *out << c.name; }

const NoDirectoryCase kNoDirectoryCases[] = {
    {"InitialisationRefused",
     Host::MainForm::kWithoutDirectoryAccess,
     Host::Directory::kWithIDirectory,
     true,
     {kNoDirectoryAccess},
     kWindow},
    {"NoDirectoryGiven",
     Host::MainForm::kWithDirectoryAccess,
     Host::Directory::kNone,
     true,
     {},
     kWindow},
    {"NeverInitialised",
     Host::MainForm::kWithDirectoryAccess,
     Host::Directory::kWithIDirectory,
     false,
     {},
     0},
};

class NoDirectoryTest : public ModuleHostTest,
                        public ::testing::WithParamInterface<NoDirectoryCase> {};

// Without the directory the command says so in a clear box and stops silently: no dialog, no
// call to the host's directory or server.
TEST_P(NoDirectoryTest, TheCommandShowsAClearBoxAndChangesNothing) {
  const NoDirectoryCase& c = GetParam();
  Host host(c.main_form, c.directory);
  tavolex::Ref<tavolex::IPlugin> plugin = NewPlugin();
  for (std::size_t i = 0; i <= c.earlier_boxes.size(); ++i) AnswerBox(tavolex::kResultOk);
  if (c.initialise) Initialize(plugin.Get(), host);

  EXPECT_EQ(Execute(plugin.Get()), tavolex::kSilentAbort);

  std::vector<Box> expected;
  for (const std::string& text : c.earlier_boxes) {
    expected.push_back({tavolex::kBoxError, "Error", text, kWindow});
  }
  expected.push_back({tavolex::kBoxError, "Error", kNoDirectory, c.owner});
  EXPECT_EQ(Boxes(), expected);
  EXPECT_TRUE(Windows().empty());
  EXPECT_EQ(PostedCount(), 0);
  EXPECT_TRUE(host.directory->Calls().empty());
  EXPECT_TRUE(host.server->Calls().empty());
}

INSTANTIATE_TEST_SUITE_P(Hosts, NoDirectoryTest, ::testing::ValuesIn(kNoDirectoryCases),
                         [](const ::testing::TestParamInfo<NoDirectoryCase>& info) {
                           return info.param.name;
                         });

}  // namespace
}  // namespace tvx::test

namespace tvx::test {
namespace {

// A headless run that cannot go on (no step left for a modal loop, or a step that fails) ends the
// host's call with a message that says so; the module goes on working afterwards.
TEST_F(CommandTest, AHeadlessRunThatCannotGoOnFailsTheCallWithItsReason) {
  tavolex::Ref<tavolex::IPlugin> plugin = NewPlugin();
  ASSERT_TRUE(Initialize(plugin.Get(), host_));
  struct Case {
    bool queue_step;
    const char* reason;
  };
  const Case cases[] = {
      {false, "form 'Export1CConfigDlg' waits for input"},
      {true,
       "the scripted step for form 'Export1CConfigDlg' failed: form 'Export1CConfigDlg' has "
       "no control named 'btnMissing'"},
  };
  for (const Case& c : cases) {
    if (c.queue_step) WhenModal([&](const std::string&) { Click("btnMissing"); });
    try {
      Execute(plugin.Get());
      ADD_FAILURE() << "the command succeeded";
    } catch (const tavolex::ModuleError& error) {
      EXPECT_EQ(error.ClassName(), "HeadlessFailure");
      EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos) << error.what();
    }
    ProcessMessages();
  }

  WhenModal([&](const std::string&) { Click("btnCancel"); });
  Execute(plugin.Get());
  ProcessMessages();
  EXPECT_EQ(PostedCount(), 0);
}

}  // namespace
}  // namespace tvx::test
