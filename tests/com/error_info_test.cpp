#include <gtest/gtest.h>

#include "com/bstr.h"
#include "com/com.h"
#include "com/com_ptr.h"

namespace tvx::test {
namespace {

using tvx::BStr;
using tvx::ComPtr;

const OLECHAR* Ole(const char16_t* text) { return reinterpret_cast<const OLECHAR*>(text); }

TEST(ErrorInfo, RoundTripHandsTheObjectOverOnce) {
  ComPtr<ICreateErrorInfo> create;
  ASSERT_EQ(CreateErrorInfo(create.Put()), S_OK);
  const GUID guid = IID_IDispatch;
  ASSERT_EQ(create->SetGUID(guid), S_OK);
  ASSERT_EQ(create->SetSource(const_cast<LPOLESTR>(Ole(u"TestAppServer"))), S_OK);
  ASSERT_EQ(create->SetDescription(const_cast<LPOLESTR>(Ole(u"Диск заполнен."))), S_OK);
  ASSERT_EQ(create->SetHelpContext(42), S_OK);
  ComPtr<IErrorInfo> info = create.Query<IErrorInfo>();
  ASSERT_TRUE(info);
  ASSERT_EQ(SetErrorInfo(0, info.Get()), S_OK);
  info.Reset();
  create.Reset();

  ComPtr<IErrorInfo> taken;
  ASSERT_EQ(GetErrorInfo(0, taken.Put()), S_OK);
  ASSERT_TRUE(taken);
  BStr description, source;
  ASSERT_EQ(taken->GetDescription(description.Put()), S_OK);
  ASSERT_EQ(taken->GetSource(source.Put()), S_OK);
  EXPECT_EQ(description.View(), u"Диск заполнен.");
  EXPECT_EQ(source.View(), u"TestAppServer");
  GUID read{};
  ASSERT_EQ(taken->GetGUID(&read), S_OK);
  EXPECT_TRUE(IsEqualGUID(read, IID_IDispatch));
  DWORD context = 0;
  ASSERT_EQ(taken->GetHelpContext(&context), S_OK);
  EXPECT_EQ(context, 42u);

  // Taking it cleared the thread's slot.
  ComPtr<IErrorInfo> again;
  EXPECT_EQ(GetErrorInfo(0, again.Put()), S_FALSE);
  EXPECT_FALSE(again);
}

TEST(ErrorInfo, SettingNullClearsTheSlot) {
  ComPtr<ICreateErrorInfo> create;
  ASSERT_EQ(CreateErrorInfo(create.Put()), S_OK);
  ASSERT_EQ(SetErrorInfo(0, create.Query<IErrorInfo>().Get()), S_OK);
  ASSERT_EQ(SetErrorInfo(0, nullptr), S_OK);
  ComPtr<IErrorInfo> taken;
  EXPECT_EQ(GetErrorInfo(0, taken.Put()), S_FALSE);
  EXPECT_FALSE(taken);
}

}  // namespace
}  // namespace tvx::test
