// A host whose directory interfaces are built by hand, as a host written in C or bound through a
// type library lays them out: plain function tables, IUnknown's three operations first and then
// the interface's own, each slot counting its calls. The module must call exactly the slots the
// SDK documents, and leave every reference it took released.
#include <array>
#include <cstddef>
#include <utility>

#include <gtest/gtest.h>

#include "com/ole_variant.h"
#include "module_host.h"
#include "support/history_table.h"

namespace tvx::test {
namespace {

using Slot = void (*)();
constexpr std::size_t kMaxOwnOperations = 23;

// One hand-built object: its function table first, as COM lays an object out.
struct RawObject {
  const Slot* table = nullptr;
  IID iid{};
  ULONG references = 1;
  ULONG add_refs = 0;
  ULONG releases = 0;
  // Calls of own operation n (counted from 1) at index n.
  std::array<int, kMaxOwnOperations + 1> own_calls{};
  // What the first operation that hands out an object hands out (the directory, the connection).
  IUnknown* handed_out = nullptr;
  // The connection's application server.
  TestAppServer* server = nullptr;

  IUnknown* AsUnknown() { return reinterpret_cast<IUnknown*>(this); }
  // The own operations called, as (operation, calls) pairs.
  std::vector<std::pair<std::size_t, int>> Called() const {
    std::vector<std::pair<std::size_t, int>> called;
    for (std::size_t n = 1; n < own_calls.size(); ++n) {
      if (own_calls[n] != 0) called.emplace_back(n, own_calls[n]);
    }
    return called;
  }
};

ULONG STDMETHODCALLTYPE RawAddRef(RawObject* self) {
  ++self->add_refs;
  return ++self->references;
}

ULONG STDMETHODCALLTYPE RawRelease(RawObject* self) {
  ++self->releases;
  return --self->references;
}

HRESULT STDMETHODCALLTYPE RawQueryInterface(RawObject* self, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, self->iid)) return E_NOINTERFACE;
  *object = self;
  RawAddRef(self);
  return S_OK;
}

// An own operation that takes nothing: counted, and not implemented.
template <std::size_t N>
HRESULT STDMETHODCALLTYPE Unused(RawObject* self) {
  ++self->own_calls[N];
  return E_NOTIMPL;
}

// Own operation N hands out handed_out with a reference for the caller.
template <std::size_t N>
HRESULT STDMETHODCALLTYPE HandOut(RawObject* self, IUnknown** out) {
  ++self->own_calls[N];
  if (out == nullptr) return E_POINTER;
  *out = self->handed_out;
  if (*out != nullptr) (*out)->AddRef();
  return S_OK;
}

// IRemoteConnection's one own operation.
HRESULT STDMETHODCALLTYPE GetAppServer(RawObject* self, VARIANT* app_server) {
  ++self->own_calls[1];
  *app_server = OleVariant::Dispatch(self->server->Dispatch()).Detach();
  return S_OK;
}

template <class F>
Slot AsSlot(F function) {
  return reinterpret_cast<Slot>(function);
}

// IUnknown's slots, then `count` own operations that do nothing but count; `special` replaces
// own operation `at`.
template <std::size_t... N>
std::array<Slot, 3 + sizeof...(N)> Table(std::index_sequence<N...>, std::size_t at, Slot special) {
  return {AsSlot(&RawQueryInterface), AsSlot(&RawAddRef), AsSlot(&RawRelease),
          (N + 1 == at ? special : AsSlot(&Unused<N + 1>))...};
}

const auto kDirectoryAccessTable =
    Table(std::make_index_sequence<3>(), 1, AsSlot(&HandOut<1>));  // GetDirectory
const auto kDirectoryTable =
    Table(std::make_index_sequence<23>(), 7, AsSlot(&HandOut<7>));  // GetRemoteServer
const auto kConnectionTable = Table(std::make_index_sequence<1>(), 1, AsSlot(&GetAppServer));

class RawHostTest : public ModuleHostTest {};

TEST_F(RawHostTest, TheModuleCallsOnlyItsTwoSlotsAndReleasesEveryReference) {
#ifdef __SANITIZE_ADDRESS__
  // The sanitizers' build checks each virtual call's object for a C++ type, which an object
  // made of a bare function table, as a C host makes it, does not have.
  GTEST_SKIP() << "hand-built objects are no C++ objects to the undefined-behaviour checks";
#endif
  Host host;
  const HistoryRow history[] = {{1, 45000.5, 44900.0, 44990.0}};
  host.server->SetPacket(HistoryTable(history));
  RawObject connection{kConnectionTable.data(), tavolex::IID_IRemoteConnection};
  connection.server = host.server.Get();
  RawObject directory{kDirectoryTable.data(), tavolex::IID_IDirectory};
  directory.handed_out = connection.AsUnknown();
  RawObject main_form{kDirectoryAccessTable.data(), tavolex::IID_IDirectoryAccess};
  main_form.handed_out = directory.AsUnknown();
  host.application->SetMainForm(ComPtr<IUnknown>(main_form.AsUnknown()));

  tavolex::Ref<tavolex::IPlugin> plugin = NewPlugin();
  ASSERT_TRUE(Initialize(plugin.Get(), host));
  // Two runs: one cancelled, one that exports everything.
  WhenModal([&](const std::string&) { Click("btnCancel"); });
  EXPECT_EQ(Execute(plugin.Get()), S_OK);
  ProcessMessages();
  WhenModal([&](const std::string&) {
    Click("eExportAll");
    Click("btnOK");
  });
  AnswerBox(tavolex::kResultOk);
  EXPECT_EQ(Execute(plugin.Get()), S_OK);
  // The connection's reference goes with the dialog, which the host's loop frees.
  EXPECT_GT(connection.references, 1u);
  ProcessMessages();
  EXPECT_EQ(connection.references, 1u);

  host.application->SetMainForm(nullptr);
  plugin.Reset();
  Unload();

  using Calls = std::vector<std::pair<std::size_t, int>>;
  EXPECT_EQ(main_form.Called(), (Calls{{1, 1}}));
  EXPECT_EQ(directory.Called(), (Calls{{7, 2}}));
  EXPECT_EQ(connection.Called(), (Calls{{1, 3}}));  // each server call reads it anew
  for (const RawObject* object : {&main_form, &directory, &connection}) {
    EXPECT_EQ(object->references, 1u);
    EXPECT_EQ(object->add_refs, object->releases);
  }
  EXPECT_GT(directory.add_refs, 0u);
  EXPECT_GT(connection.add_refs, 0u);
}

}  // namespace
}  // namespace tvx::test
