// The type library that Tavolex.plu carries (its TYPELIB resource) and the one shipped beside it,
// read back with the system's loader and held against the SDK's header, which widl generated
// from the same IDL: each interface's identifier, its base, the number and order of its
// operations (the slots of its function table) and the types of their parameters.
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

// The system's headers first, so that initguid.h makes only the boundary's identifiers (its
// library's among them) defined in this file.
#include <ole2.h>
#include <oleauto.h>
#include <windows.h>

#include <initguid.h>

#include "tavolex/directory.h"
#include "tavolex/headless.h"
#include "tavolex/plugin.h"

namespace tvx::test {
namespace {

// A parameter's type as text: "i4", "bstr", "ptr bstr", "ptr ptr {IID}", "safearray", ...
template <class T>
struct TypeText;
template <class T>
struct TypeText<T*> {
  static std::string Get() { return "ptr " + TypeText<T>::Get(); }
};
#define TYPE_TEXT(type, text)                 \
  template <>                                 \
  struct TypeText<type> {                     \
    static std::string Get() { return text; } \
  }
TYPE_TEXT(LONG, "i4");
TYPE_TEXT(USHORT, "ui2");
TYPE_TEXT(ULONGLONG, "ui8");
TYPE_TEXT(VARIANT_BOOL, "bool");
TYPE_TEXT(BSTR, "bstr");
TYPE_TEXT(VARIANT, "variant");
TYPE_TEXT(SAFEARRAY*, "safearray");
TYPE_TEXT(IUnknown*, "unknown");
#undef TYPE_TEXT

std::string GuidText(const GUID& guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return std::string(text, text + std::wcslen(text));
}

// An interface of the boundary stands for itself by its identifier.
template <class T>
concept BoundaryInterface = std::is_base_of_v<IUnknown, T> && !std::is_same_v<T, IUnknown>;
template <BoundaryInterface T>
struct TypeText<T> {
  static std::string Get() { return GuidText(tavolex::IidOf<T>()); }
};

struct Operation {
  std::string name;
  std::size_t slot = 0;  // in the function table, IUnknown's three first
  std::vector<std::string> parameters;
};

// The slot of a virtual operation, read from a pointer to it: under the C++ ABI of g++ and
// clang such a pointer holds one plus the operation's offset in the function table.
template <class Member>
std::size_t SlotOf(Member member) {
  struct {
    std::uintptr_t pointer;
    std::ptrdiff_t adjustment;
  } raw;
  static_assert(sizeof raw == sizeof member);
  std::memcpy(&raw, &member, sizeof raw);
  EXPECT_EQ(raw.pointer % 2, 1u) << "not a virtual operation";
  return (raw.pointer - 1) / sizeof(void*);
}

template <class I, class... Parameters>
Operation Describe(const char* name, HRESULT (STDMETHODCALLTYPE I::*member)(Parameters...)) {
  return {name, SlotOf(member), {TypeText<Parameters>::Get()...}};
}

struct Interface {
  std::string name;
  IID iid;
  std::vector<Operation> operations;
};

#define OP(I, name) Describe(#name, &I::name)

std::vector<Interface> HeaderInterfaces() {
  return {
      {"IPlugin",
       tavolex::IidOf<IPlugin>(),
       {OP(IPlugin, GetPluginID), OP(IPlugin, GetAuthor), OP(IPlugin, GetCopyright),
        OP(IPlugin, GetDescription), OP(IPlugin, GetPluginVersion), OP(IPlugin, GetInstanceCount),
        OP(IPlugin, GetCommandCount), OP(IPlugin, GetCommand), OP(IPlugin, Initialize),
        OP(IPlugin, Configure), OP(IPlugin, PluginMessage)}},
      {"IPluginCommand",
       tavolex::IidOf<IPluginCommand>(),
       {OP(IPluginCommand, GetName), OP(IPluginCommand, GetCaption), OP(IPluginCommand, GetHint),
        OP(IPluginCommand, GetData), OP(IPluginCommand, GetDataBytes),
        OP(IPluginCommand, GetShortCut), OP(IPluginCommand, GetBitmap),
        OP(IPluginCommand, Execute)}},
      {"IHostApplication",
       tavolex::IidOf<IHostApplication>(),
       {OP(IHostApplication, GetHandle), OP(IHostApplication, GetTitle),
        OP(IHostApplication, GetMainForm), OP(IHostApplication, GetTerminated),
        OP(IHostApplication, HandleException), OP(IHostApplication, HandleMessage)}},
      {"IRemoteConnection",
       tavolex::IidOf<IRemoteConnection>(),
       {OP(IRemoteConnection, GetAppServer)}},
      {"IDirectoryAccess",
       tavolex::IidOf<IDirectoryAccess>(),
       {OP(IDirectoryAccess, GetDirectory), OP(IDirectoryAccess, ReservedSlot2),
        OP(IDirectoryAccess, ReservedSlot3)}},
      {"IDirectory",
       tavolex::IidOf<IDirectory>(),
       {OP(IDirectory, ReservedSlot1),   OP(IDirectory, ReservedSlot2),
        OP(IDirectory, ReservedSlot3),   OP(IDirectory, ReservedSlot4),
        OP(IDirectory, ReservedSlot5),   OP(IDirectory, ReservedSlot6),
        OP(IDirectory, GetRemoteServer), OP(IDirectory, ReservedSlot8),
        OP(IDirectory, ReservedSlot9),   OP(IDirectory, ReservedSlot10),
        OP(IDirectory, ReservedSlot11),  OP(IDirectory, ReservedSlot12),
        OP(IDirectory, ReservedSlot13),  OP(IDirectory, ReservedSlot14),
        OP(IDirectory, ReservedSlot15),  OP(IDirectory, ReservedSlot16),
        OP(IDirectory, ReservedSlot17),  OP(IDirectory, ReservedSlot18),
        OP(IDirectory, ReservedSlot19),  OP(IDirectory, ReservedSlot20),
        OP(IDirectory, ReservedSlot21),  OP(IDirectory, ReservedSlot22),
        OP(IDirectory, ReservedSlot23)}},
      {"IModalStep", tavolex::IidOf<IModalStep>(), {OP(IModalStep, Run)}},
      {"IHeadlessDriver",
       tavolex::IidOf<IHeadlessDriver>(),
       {OP(IHeadlessDriver, WhenModal),      OP(IHeadlessDriver, GetPendingSteps),
        OP(IHeadlessDriver, AnswerBox),      OP(IHeadlessDriver, GetPendingAnswers),
        OP(IHeadlessDriver, GetActiveForm),  OP(IHeadlessDriver, Click),
        OP(IHeadlessDriver, Type),           OP(IHeadlessDriver, Press),
        OP(IHeadlessDriver, CloseBox),       OP(IHeadlessDriver, ProcessMessages),
        OP(IHeadlessDriver, GetControlText), OP(IHeadlessDriver, GetControlState),
        OP(IHeadlessDriver, GetFocus),       OP(IHeadlessDriver, GetBoxCount),
        OP(IHeadlessDriver, GetBox),         OP(IHeadlessDriver, GetWindowCount),
        OP(IHeadlessDriver, GetWindow),      OP(IHeadlessDriver, GetFocusChangeCount),
        OP(IHeadlessDriver, GetFocusChange), OP(IHeadlessDriver, GetOwnApplicationCurrent),
        OP(IHeadlessDriver, GetPostedCount)}},
  };
}

#undef OP

std::wstring Wide(const std::string& path) {
  std::wstring wide = L"Z:";
  for (char c : path) wide += c == '/' ? L'\\' : static_cast<wchar_t>(c);
  return wide;
}

std::string Narrow(BSTR text) {
  std::string narrow;
  for (UINT i = 0; i < SysStringLen(text); ++i) narrow += static_cast<char>(text[i]);
  return narrow;
}

// A parameter's type as the type library tells it, in the words of TypeText.
std::string LibraryTypeText(ITypeInfo* info, const TYPEDESC& type) {
  switch (type.vt) {
    case VT_PTR:
      return "ptr " + LibraryTypeText(info, *type.lptdesc);
    case VT_SAFEARRAY:
      return "safearray";
    case VT_I4:
      return "i4";
    case VT_UI2:
      return "ui2";
    case VT_UI8:
      return "ui8";
    case VT_BOOL:
      return "bool";
    case VT_BSTR:
      return "bstr";
    case VT_VARIANT:
      return "variant";
    case VT_UNKNOWN:
      return "unknown";
    case VT_USERDEFINED: {
      ITypeInfo* referred = nullptr;
      if (FAILED(info->GetRefTypeInfo(type.hreftype, &referred))) return "unresolved";
      TYPEATTR* attributes = nullptr;
      referred->GetTypeAttr(&attributes);
      std::string text = attributes->typekind == TKIND_ALIAS
                             ? LibraryTypeText(referred, attributes->tdescAlias)
                             : GuidText(attributes->guid);
      referred->ReleaseTypeAttr(attributes);
      referred->Release();
      return text;
    }
    default:
      return "vt " + std::to_string(type.vt);
  }
}

class TypeLibraryTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    ASSERT_EQ(LoadTypeLibEx(Wide(GetParam()).c_str(), REGKIND_NONE, &library_), S_OK) << GetParam();
  }
  void TearDown() override {
    if (library_ != nullptr) library_->Release();
  }

  ITypeLib* library_ = nullptr;
};

TEST_P(TypeLibraryTest, IsTheLibraryOfTheBuildsBitness) {
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(library_->GetLibAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->syskind, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
  EXPECT_EQ(GuidText(attributes->guid), GuidText(LIBID_Tavolex));
  EXPECT_EQ(attributes->wMajorVerNum, 1);
  library_->ReleaseTLibAttr(attributes);
  EXPECT_EQ(static_cast<std::size_t>(library_->GetTypeInfoCount()), HeaderInterfaces().size());
}

TEST_P(TypeLibraryTest, EveryInterfaceMatchesTheHeader) {
  for (const Interface& expected : HeaderInterfaces()) {
    SCOPED_TRACE(expected.name);
    ITypeInfo* info = nullptr;
    ASSERT_EQ(library_->GetTypeInfoOfGuid(expected.iid, &info), S_OK);
    BSTR name = nullptr;
    info->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr);
    EXPECT_EQ(Narrow(name), expected.name);
    SysFreeString(name);

    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->typekind, TKIND_INTERFACE);
    EXPECT_EQ(attributes->cImplTypes, 1);
    ASSERT_EQ(static_cast<std::size_t>(attributes->cFuncs), expected.operations.size());
    EXPECT_EQ(static_cast<std::size_t>(attributes->cbSizeVft),
              (3 + expected.operations.size()) * sizeof(void*));
    // The base: IUnknown.
    HREFTYPE base_reference = 0;
    ITypeInfo* base = nullptr;
    ASSERT_EQ(info->GetRefTypeOfImplType(0, &base_reference), S_OK);
    ASSERT_EQ(info->GetRefTypeInfo(base_reference, &base), S_OK);
    TYPEATTR* base_attributes = nullptr;
    base->GetTypeAttr(&base_attributes);
    EXPECT_EQ(GuidText(base_attributes->guid), GuidText(IID_IUnknown));
    base->ReleaseTypeAttr(base_attributes);
    base->Release();

    for (UINT index = 0; index < attributes->cFuncs; ++index) {
      FUNCDESC* function = nullptr;
      ASSERT_EQ(info->GetFuncDesc(index, &function), S_OK);
      BSTR function_name = nullptr;
      info->GetDocumentation(function->memid, &function_name, nullptr, nullptr, nullptr);
      const Operation& operation = expected.operations[index];
      EXPECT_EQ(Narrow(function_name), operation.name) << "operation " << index + 1;
      SysFreeString(function_name);
      EXPECT_EQ(static_cast<std::size_t>(function->oVft) / sizeof(void*), operation.slot)
          << operation.name;
      EXPECT_EQ(operation.slot, 3 + index) << operation.name;
      EXPECT_EQ(function->funckind, FUNC_PUREVIRTUAL);
      EXPECT_EQ(function->callconv, CC_STDCALL);
      EXPECT_EQ(function->elemdescFunc.tdesc.vt, VT_HRESULT) << operation.name;
      std::vector<std::string> parameters;
      for (SHORT p = 0; p < function->cParams; ++p) {
        parameters.push_back(LibraryTypeText(info, function->lprgelemdescParam[p].tdesc));
      }
      EXPECT_EQ(parameters, operation.parameters) << operation.name;
      info->ReleaseFuncDesc(function);
    }
    info->ReleaseTypeAttr(attributes);
    info->Release();
  }
}

INSTANTIATE_TEST_SUITE_P(Files, TypeLibraryTest,
                         ::testing::Values(TAVOLEX_LIBRARY, TAVOLEX_TYPELIB_FILE),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return info.index == 0 ? std::string("EmbeddedInTheLibrary")
                                                  : std::string("BesideIt");
                         });

}  // namespace
}  // namespace tvx::test
