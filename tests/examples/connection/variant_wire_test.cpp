// VARIANT arguments as the client sends them, and the values it writes back into references.
#include <gtest/gtest.h>

#include "com/bstr.h"
#include "com/ole_variant.h"
#include "connection/variant_wire.h"

namespace {

using namespace tvx::example;
using tvx::BStr;
using tvx::OleVariant;

TEST(VariantWire, CarriedTypesTravelByValueAndByReference) {
  SHORT i2 = -5;
  LONG i4 = 70000;
  DOUBLE r8 = 2.5;
  DATE date = 45292.75;
  VARIANT_BOOL flag = VARIANT_TRUE;
  BStr text(u"Отпуск");
  BSTR text_slot = text.Get();
  OleVariant bytes = OleVariant::Bytes(std::vector<std::uint8_t>{1, 2, 3});
  SAFEARRAY* array_slot = bytes->parray;
  OleVariant inner = OleVariant::I4(9);
  const OleVariant string = OleVariant::String(u"Премия");

  auto by_ref = [](VARTYPE vt, void* target) {
    VARIANT v;
    VariantInit(&v);
    v.vt = static_cast<VARTYPE>(VT_BYREF | vt);
    v.byref = target;
    return v;
  };
  struct Case {
    const char* name;
    VARIANT argument;
    WireArgument expected;
  };
  const Case cases[] = {
      {"empty", *OleVariant(), {Passing::kValue, WireValue::Empty()}},
      {"null", *OleVariant::Null(), {Passing::kValue, WireValue::Null()}},
      {"date", *OleVariant::Date(45292.75), {Passing::kValue, WireValue::Date(45292.75)}},
      {"string", *string, {Passing::kValue, WireValue::String("Премия")}},
      {"bytes", *bytes, {Passing::kValue, WireValue::Bytes({1, 2, 3})}},
      {"I2 by reference", by_ref(VT_I2, &i2), {Passing::kTypedReference, WireValue::I2(-5)}},
      {"I4 by reference", by_ref(VT_I4, &i4), {Passing::kTypedReference, WireValue::I4(70000)}},
      {"R8 by reference", by_ref(VT_R8, &r8), {Passing::kTypedReference, WireValue::R8(2.5)}},
      {"DATE by reference",
       by_ref(VT_DATE, &date),
       {Passing::kTypedReference, WireValue::Date(45292.75)}},
      {"BOOL by reference",
       by_ref(VT_BOOL, &flag),
       {Passing::kTypedReference, WireValue::Bool(true)}},
      {"BSTR by reference",
       by_ref(VT_BSTR, &text_slot),
       {Passing::kTypedReference, WireValue::String("Отпуск")}},
      {"bytes by reference",
       by_ref(VT_ARRAY | VT_UI1, &array_slot),
       {Passing::kTypedReference, WireValue::Bytes({1, 2, 3})}},
      {"variant by reference",
       by_ref(VT_VARIANT, inner.Get()),
       {Passing::kVariantReference, WireValue::I4(9)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto argument = ToWireArgument(c.argument);
    ASSERT_TRUE(argument.has_value());
    EXPECT_EQ(*argument, c.expected);
  }
}

TEST(VariantWire, TypesOutsideTheProtocolAreRefused) {
  LONG i4 = 1;
  VARIANT ref_to_ref;
  VariantInit(&ref_to_ref);
  ref_to_ref.vt = VT_BYREF | VT_I4;
  ref_to_ref.plVal = &i4;

  VARIANT dispatch;
  VariantInit(&dispatch);
  dispatch.vt = VT_DISPATCH;
  VARIANT i8;
  VariantInit(&i8);
  i8.vt = VT_I8;
  VARIANT null_reference;
  VariantInit(&null_reference);
  null_reference.vt = VT_BYREF | VT_VARIANT;
  VARIANT reference_to_reference;
  VariantInit(&reference_to_reference);
  reference_to_reference.vt = VT_BYREF | VT_VARIANT;
  reference_to_reference.pvarVal = &ref_to_ref;

  for (const VARIANT& v : {dispatch, i8, null_reference, reference_to_reference}) {
    EXPECT_FALSE(ToWireArgument(v).has_value()) << v.vt;
  }
}

TEST(VariantWire, ReturnedValuesReplaceWhatReferencesHold) {
  OleVariant target = OleVariant::String(u"old");
  VARIANT to_variant;
  VariantInit(&to_variant);
  to_variant.vt = VT_BYREF | VT_VARIANT;
  to_variant.pvarVal = target.Get();
  ASSERT_EQ(StoreReference(to_variant, WireValue::I4(42)), S_OK);
  EXPECT_EQ(target->vt, VT_I4);
  EXPECT_EQ(target->lVal, 42);

  BStr text(u"old");
  BSTR slot = text.Detach();
  VARIANT to_string;
  VariantInit(&to_string);
  to_string.vt = VT_BYREF | VT_BSTR;
  to_string.pbstrVal = &slot;
  ASSERT_EQ(StoreReference(to_string, WireValue::String("новое")), S_OK);
  EXPECT_EQ(tvx::BStrView(slot), u"новое");
  // A typed reference takes a value of its own type only, and keeps what it had otherwise.
  EXPECT_EQ(StoreReference(to_string, WireValue::I4(1)), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(tvx::BStrView(slot), u"новое");
  SysFreeString(slot);

  VARIANT by_value = *OleVariant::I4(1);
  EXPECT_EQ(StoreReference(by_value, WireValue::I4(2)), DISP_E_TYPEMISMATCH);
}

}  // namespace
