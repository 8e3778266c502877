// The headless driver's calls that hand out several texts: a null out-pointer among them fails
// the call with E_POINTER, and then none of the texts is handed out (a caller frees nothing
// after a failed call, so one handed out would be lost).
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "module_host.h"
#include "support/history_table.h"

namespace tvx::test {
namespace {

const HistoryRow kHistory[] = {{1, 45000.5, 44900.0, 44990.0}};

// A call that hands out two texts, made with the out-pointers given for them.
struct TwoTextCall {
  std::string name;
  std::function<HRESULT(tavolex::IHeadlessDriver*, BSTR*, BSTR*)> make;
};

const TwoTextCall kTwoTextCalls[] = {
    {"GetBox",
     [](tavolex::IHeadlessDriver* driver, BSTR* title, BSTR* text) {
       LONG kind = 0, answer = 0;
       tavolex::WindowHandleValue owner = 0;
       return driver->GetBox(0, &kind, title, text, &owner, &answer);
     }},
    {"GetFocusChange", [](tavolex::IHeadlessDriver* driver, BSTR* form,
                          BSTR* control) { return driver->GetFocusChange(0, form, control); }},
};

TEST_F(ModuleHostTest, ANullOutPointerAmongTextsFailsTheCallAndHandsOutNoText) {
  // A run of the dialog that leaves one box and focus changes recorded.
  Host host;
  host.server->SetPacket(HistoryTable(kHistory));
  tavolex::Ref<tavolex::IPlugin> plugin = NewPlugin();
  ASSERT_TRUE(Initialize(plugin.Get(), host));
  WhenModal([&](const std::string&) {
    Click("eExportAll");
    Click("btnOK");
  });
  AnswerBox(tavolex::kResultOk);
  ASSERT_EQ(Execute(plugin.Get()), S_OK);
  ProcessMessages();
  ASSERT_EQ(Boxes().size(), 1u);
  LONG focus_changes = 0;
  tavolex::Check(Driver()->GetFocusChangeCount(&focus_changes));
  ASSERT_GT(focus_changes, 0);

  for (const TwoTextCall& call : kTwoTextCalls) {
    for (const bool first_null : {true, false}) {
      SCOPED_TRACE(call.name + (first_null ? ", the first text's pointer null"
                                           : ", the second text's pointer null"));
      tavolex::Text handed;
      const HRESULT status = first_null ? call.make(Driver(), nullptr, handed.Put())
                                        : call.make(Driver(), handed.Put(), nullptr);
      EXPECT_EQ(status, E_POINTER);
      EXPECT_EQ(handed.Get(), nullptr) << "a text handed out by a failed call";
    }
    // With both pointers the call succeeds and hands out both.
    tavolex::Text first, second;
    EXPECT_EQ(call.make(Driver(), first.Put(), second.Put()), S_OK) << call.name;
    EXPECT_NE(first.Get(), nullptr);
    EXPECT_NE(second.Get(), nullptr);
  }
}

}  // namespace
}  // namespace tvx::test
