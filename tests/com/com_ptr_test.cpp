#include <utility>

#include <gtest/gtest.h>

#include "com/com.h"
#include "com/com_ptr.h"
#include "counted_object.h"
#include "tavolex/interface_id.h"

namespace tvx::test {
namespace {

using tvx::ComPtr;
using tvx::test::CountedObject;

TEST(ComPtr, SharingAddsAReferenceAdoptingDoesNot) {
  bool freed = false;
  auto* object = new CountedObject(&freed);
  {
    ComPtr<IDispatch> adopted = ComPtr<IDispatch>::Adopt(object);
    EXPECT_EQ(object->References(), 1u);
    ComPtr<IDispatch> shared(object);
    EXPECT_EQ(object->References(), 2u);
    ComPtr<IDispatch> copy = shared;
    EXPECT_EQ(object->References(), 3u);
    ComPtr<IDispatch> moved = std::move(copy);
    EXPECT_EQ(object->References(), 3u);
    EXPECT_FALSE(copy);  // NOLINT(bugprone-use-after-move)
    ComPtr<IUnknown> base = moved;
    EXPECT_EQ(object->References(), 4u);
    moved = nullptr;
    EXPECT_EQ(object->References(), 3u);
    base = ComPtr<IUnknown>(object);
    EXPECT_EQ(object->References(), 3u);
  }
  EXPECT_TRUE(freed);
}

TEST(ComPtr, DetachAttachAndPutPassReferencesOn) {
  bool freed = false;
  auto* object = new CountedObject(&freed);
  ComPtr<IDispatch> first = ComPtr<IDispatch>::Adopt(object);
  IDispatch* raw = first.Detach();
  EXPECT_FALSE(first);
  EXPECT_EQ(object->References(), 1u);

  ComPtr<IDispatch> second;
  second.Attach(raw);
  EXPECT_EQ(object->References(), 1u);

  // Put releases what was held before the callee writes its reference.
  ComPtr<IDispatch> third(object);
  EXPECT_EQ(object->References(), 2u);
  IDispatch** slot = third.Put();
  EXPECT_EQ(object->References(), 1u);
  EXPECT_EQ(*slot, nullptr);
  EXPECT_FALSE(freed);
  second.Reset();
  EXPECT_TRUE(freed);
}

TEST(ComPtr, QueryGivesACountedReferenceOrNothing) {
  bool freed = false;
  auto* object = new CountedObject(&freed);
  ComPtr<IUnknown> unknown = ComPtr<IUnknown>::Adopt(object);
  ComPtr<IDispatch> dispatch;
  EXPECT_EQ(unknown.As(dispatch), S_OK);
  EXPECT_EQ(dispatch.Get(), static_cast<IDispatch*>(object));
  EXPECT_EQ(object->References(), 2u);

  ComPtr<IErrorInfo> none;
  EXPECT_EQ(unknown.As(none), E_NOINTERFACE);
  EXPECT_FALSE(none);
  none = unknown.Query<IErrorInfo>();
  EXPECT_FALSE(none);
  EXPECT_EQ(object->References(), 2u);

  ComPtr<IDispatch> empty;
  EXPECT_EQ(empty.As(dispatch), E_POINTER);
  EXPECT_FALSE(dispatch);
  EXPECT_EQ(object->References(), 1u);
  unknown.Reset();
  EXPECT_TRUE(freed);
}

TEST(InterfaceId, ParsesTheTextualForm) {
  EXPECT_TRUE(
      IsEqualGUID(tavolex::ParseGuid("{00020400-0000-0000-C000-000000000046}"), IID_IDispatch));
  EXPECT_TRUE(
      IsEqualGUID(tavolex::ParseGuid("1cf2b120-547d-101b-8e65-08002b2bd119"), IID_IErrorInfo));
  EXPECT_TRUE(IsEqualGUID(tavolex::IidOf<IUnknown>(), IID_IUnknown));
  EXPECT_TRUE(IsEqualGUID(tavolex::IidOf<ISupportErrorInfo>(), IID_ISupportErrorInfo));
}

}  // namespace
}  // namespace tvx::test
