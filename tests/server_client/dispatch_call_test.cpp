#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "com/ole_variant.h"
#include "server_client/dispatch_call.h"
#include "server_client/export_calls.h"
#include "server_client/ole_errors.h"
#include "support/raised.h"
#include "support/test_app_server.h"

namespace tvx::test {
namespace {

using tvx::ComPtr;

constexpr HRESULT kCodeWithoutText = static_cast<HRESULT>(0x8004ABCDu);

// The system's text for a code, which differs between systems; the cases below only need
// to know that there is one.
std::string SystemText(HRESULT code) {
  std::string text = tvx::SystemErrorText(code);
  EXPECT_FALSE(text.empty()) << std::hex << code;
  return text;
}

class DispatchCallTest : public ::testing::Test {
 protected:
  void SetUp() override { start_references_ = server_->References(); }
  // Whatever a test did, errors included, every temporary reference has been released.
  void TearDown() override { EXPECT_EQ(server_->References(), start_references_); }

  const std::vector<ReceivedCall>& Calls() const { return server_->Calls(); }

  ComPtr<TestAppServer> server_ = TestAppServer::Create();
  OleVariant target_ = OleVariant::Dispatch(server_->Dispatch());
  ULONG start_references_ = 0;
};

TEST_F(DispatchCallTest, ExportData1CArrivesWithItsArgumentsInOrder) {
  tvx::CallExportData1C(*target_, 41000.0, 41030.0);

  ASSERT_EQ(Calls().size(), 1u);
  const ReceivedCall& call = Calls()[0];
  EXPECT_EQ(call.method, "ExportData1C");
  EXPECT_EQ(call.flags, DISPATCH_METHOD);
  EXPECT_EQ(call.named_arguments, 0u);
  EXPECT_FALSE(call.result_requested);
  ASSERT_EQ(call.arguments.size(), 5u);
  const VARTYPE types[] = {VT_DATE, VT_DATE, VT_I4, VT_I4, VT_BYREF | VT_VARIANT};
  for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(call.arguments[i].vt, types[i]) << i;
  EXPECT_EQ(call.arguments[0].value->date, 41000.0);
  EXPECT_EQ(call.arguments[1].value->date, 41030.0);
  EXPECT_EQ(call.arguments[2].value->lVal, 1);
  EXPECT_EQ(call.arguments[3].value->lVal, 1);
  EXPECT_EQ(call.arguments[4].value.Type(), VT_EMPTY);  // empty on the call
}

TEST_F(DispatchCallTest, ExportAllDataArrivesWithoutArguments) {
  tvx::CallExportAllData(*target_);
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].method, "ExportAllData");
  EXPECT_EQ(Calls()[0].flags, DISPATCH_METHOD);
  EXPECT_TRUE(Calls()[0].arguments.empty());
  EXPECT_FALSE(Calls()[0].result_requested);
}

TEST_F(DispatchCallTest, ArgumentsStandLastFirstInTheArgumentArray) {
  // The server checks the types of rgvarg from the last element on; in the wrong order it
  // would refuse the call with a type mismatch.
  OleVariant left;
  VARIANT arguments[5];
  for (VARIANT& v : arguments) VariantInit(&v);
  arguments[0].vt = arguments[1].vt = VT_DATE;
  arguments[0].date = 1.0;
  arguments[1].date = 2.0;
  arguments[2].vt = arguments[3].vt = VT_I4;
  arguments[2].lVal = 3;
  arguments[3].lVal = 4;
  arguments[4].vt = VT_BYREF | VT_VARIANT;
  arguments[4].pvarVal = left.Get();
  tvx::DispatchCall(*target_, "exportdata1c", arguments);  // names ignore case
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].arguments[2].value->lVal, 3);
  EXPECT_EQ(Calls()[0].arguments[3].value->lVal, 4);
  // The caller owns what the server left in the by-reference argument.
  EXPECT_EQ(left.Type(), VT_BSTR);
}

TEST_F(DispatchCallTest, FailuresRaiseTheirExceptionsWithExactTexts) {
  struct Case {
    const char* what;
    std::function<void(TestAppServer&)> arrange;
    Raised expected;
  };
  const std::string source = "TestAppServer";
  const Case cases[] = {
      {"name refused",
       [](TestAppServer& s) { s.FailNames(); },
       {"EOleError", "Method 'ExportData1C' not supported by automation object", 0, ""}},
      {"member refused",
       [](TestAppServer& s) { s.FailNames(DISP_E_MEMBERNOTFOUND); },
       {"EOleError", "Method 'ExportData1C' not supported by automation object", 0, ""}},
      {"look-up failed otherwise",
       [](TestAppServer& s) { s.FailNames(E_ACCESSDENIED); },
       {"EOleSysError", SystemText(E_ACCESSDENIED), E_ACCESSDENIED, ""}},
      {"described",
       [](TestAppServer& s) { s.FailWithException(E_FAIL, u"Disk full.  \r\n"); },
       {"EOleException", "Disk full", E_FAIL, source}},
      {"described later",
       [](TestAppServer& s) { s.FailWithException(E_FAIL, u"Disk full.  \r\n", true); },
       {"EOleException", "Disk full", E_FAIL, source}},
      {"described in Russian",
       [](TestAppServer& s) { s.FailWithException(E_FAIL, u"Нет связи с базой 1С.\r\n"); },
       {"EOleException", "Нет связи с базой 1С", E_FAIL, source}},
      {"description of blanks only",
       [](TestAppServer& s) { s.FailWithException(E_FAIL, u" . \r\n"); },
       {"EOleException", SystemText(E_FAIL), E_FAIL, source}},
      {"undescribed",
       [](TestAppServer& s) { s.FailWithException(E_FAIL, u""); },
       {"EOleException", SystemText(E_FAIL), E_FAIL, source}},
      {"undescribed, code without text",
       [](TestAppServer& s) { s.FailWithException(kCodeWithoutText, u"", true); },
       {"EOleException", "OLE error 8004abcd", kCodeWithoutText, source}},
      {"status",
       [](TestAppServer& s) { s.FailWithStatus(E_ACCESSDENIED); },
       {"EOleSysError", SystemText(E_ACCESSDENIED), E_ACCESSDENIED, ""}},
      {"status without text",
       [](TestAppServer& s) { s.FailWithStatus(kCodeWithoutText); },
       {"EOleSysError", "OLE error 8004abcd", kCodeWithoutText, ""}},
  };
  for (const Case& c : cases) {
    ComPtr<TestAppServer> server = TestAppServer::Create();
    c.arrange(*server);
    const OleVariant target = OleVariant::Dispatch(server->Dispatch());
    EXPECT_EQ(Capture([&] { tvx::CallExportData1C(*target, 41000.0, 41001.0); }), c.expected)
        << c.what;
    EXPECT_EQ(server->References(), 2u) << c.what;
  }
}

TEST_F(DispatchCallTest, ServerExceptionWithoutAnyCodeReportsTheException) {
  server_->FailWithException(S_OK, u"");
  const std::string text = tvx::SystemErrorText(DISP_E_EXCEPTION);
  EXPECT_EQ(Capture([&] { tvx::CallExportAllData(*target_); }),
            (Raised{"EOleException", text.empty() ? "OLE error 80020009" : text, DISP_E_EXCEPTION,
                    "TestAppServer"}));
}

TEST_F(DispatchCallTest, RefusedArgumentsRaiseTheServersStatus) {
  const OleVariant one = OleVariant::I4(1);
  const Raised raised = Capture([&] { tvx::DispatchCall(*target_, "ExportData1C", {&*one, 1}); });
  EXPECT_EQ(raised.class_name, "EOleSysError");
  EXPECT_EQ(raised.code, DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(raised.message, tvx::OleErrorText(DISP_E_BADPARAMCOUNT));
  EXPECT_EQ(Calls().size(), 1u);
}

TEST_F(DispatchCallTest, TargetsWithoutAnAutomationObjectAreRefused) {
  const OleVariant targets[] = {
      OleVariant(),
      OleVariant::Null(),
      OleVariant::I4(7),
      OleVariant::String(u"AppServer"),
      OleVariant::Dispatch(nullptr),
      OleVariant::Unknown(server_->Dispatch()),
  };
  for (const OleVariant& target : targets) {
    EXPECT_EQ(Capture([&] { tvx::CallExportAllData(*target); }),
              (Raised{"EVariantError", "Invalid variant operation", 0, ""}))
        << target.Type();
  }
  EXPECT_TRUE(Calls().empty());
}

TEST_F(DispatchCallTest, ATargetReferringToAnObjectIsFollowed) {
  IDispatch* object = server_->Dispatch();
  VARIANT reference;
  VariantInit(&reference);
  reference.vt = VT_BYREF | VT_DISPATCH;
  reference.ppdispVal = &object;
  tvx::CallExportAllData(reference);
  EXPECT_EQ(Calls().size(), 1u);
}

}  // namespace
}  // namespace tvx::test
