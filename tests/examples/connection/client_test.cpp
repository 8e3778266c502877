// The client side of the connection as the module uses it: calls by name and the history
// request through TSocketRemoteServer, against scripted servers that answer well or badly.
#include <atomic>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "classes/object.h"
#include "com/bstr.h"
#include "com/ole_variant.h"
#include "connection/socket_remote_server.h"
#include "examples/connection/scripted_server.h"
#include "protocol/errors.h"
#include "server_client/dispatch_call.h"
#include "server_client/export_calls.h"
#include "server_client/provider_query.h"
#include "support/raised.h"

namespace {

using namespace tvx::example;
using namespace tvx::example::test;
using tvx::OleVariant;
using tvx::test::Capture;
using tvx::test::Raised;

constexpr HRESULT kInvalidArg = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT kDisconnected = static_cast<HRESULT>(0x80010108u);

ClientOptions Options(std::uint16_t port,
                      std::chrono::milliseconds call_timeout = std::chrono::seconds(10)) {
  ClientOptions options;
  options.port = port;
  options.call_timeout = call_timeout;
  return options;
}

std::string NoConnection(std::uint16_t port, const std::string& reason) {
  return "Нет связи с сервером приложений (127.0.0.1:" + std::to_string(port) + "): " + reason;
}

Raised Disconnected(std::uint16_t port, const std::string& reason) {
  return {"EOleException", NoConnection(port, reason), kDisconnected, kConnectionErrorSource};
}

class ClientTest : public ::testing::Test {
 protected:
  tvx::TOwned<TSocketRemoteServer> Connection(
      std::uint16_t port, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    return tvx::CreateOwned<TSocketRemoteServer>(nullptr, Options(port, timeout));
  }
};

TEST_F(ClientTest, RefusedConnectionNamesTheAddressAndTheReason) {
  const std::uint16_t port = UnusedPort();
  auto connection = Connection(port);
  EXPECT_EQ(Capture([&] { connection->AppServer(); }), Disconnected(port, "соединение отклонено"));
  EXPECT_FALSE(connection->Connected());
}

TEST_F(ClientTest, ExportCallCarriesItsArgumentsAndTheServersErrorComesBackAsItsText) {
  std::atomic<bool> checked{false};
  ScriptedServer server([&](Socket& socket) {
    Greet(socket);
    const Frame frame = Receive(socket);
    const InvokeRequest request = DecodeInvokeRequest(frame.payload);
    checked = frame.type == FrameType::kInvoke && request.method == "ExportData1C" &&
              request.flags == DISPATCH_METHOD && !request.result_wanted &&
              request.arguments ==
                  std::vector<WireArgument>{{Passing::kValue, WireValue::Date(45292)},
                                            {Passing::kValue, WireValue::Date(45322)},
                                            {Passing::kValue, WireValue::I4(1)},
                                            {Passing::kValue, WireValue::I4(1)},
                                            {Passing::kVariantReference, WireValue::Empty()}};
    Send(socket, FrameType::kError,
         Encode(ErrorReply{kInvalidArg, "Tavolex.AppServer",
                           "Дата начала периода позже даты его окончания.  "}));
    WaitForClose(socket);
  });
  auto connection = Connection(server.Port());
  const Raised raised =
      Capture([&] { tvx::CallExportData1C(*connection->AppServer(), 45292, 45322); });
  EXPECT_TRUE(checked);
  // The module's call by name trims the trailing full stop and blanks.
  EXPECT_EQ(raised, (Raised{"EOleException", "Дата начала периода позже даты его окончания",
                            kInvalidArg, "Tavolex.AppServer"}));
  // A refused request leaves the connection as it was.
  EXPECT_TRUE(connection->Connected());
}

TEST_F(ClientTest, ByReferenceArgumentsReceiveWhatTheServerReturns) {
  ScriptedServer server([](Socket& socket) {
    Greet(socket, {"Touch"});
    const InvokeRequest request = DecodeInvokeRequest(Receive(socket).payload);
    InvokeReply reply;
    reply.result = WireValue::String("result for " + request.method);
    reply.references = {{0, WireValue::String("первый")},
                        {2, WireValue::I4(request.arguments[2].value.integer + 1)}};
    Send(socket, FrameType::kInvokeReply, Encode(reply));
    WaitForClose(socket);
  });
  auto connection = Connection(server.Port());
  const OleVariant app_server = connection->AppServer();
  IDispatch* dispatch = app_server->pdispVal;

  OleVariant first;      // by reference to a variant: empty on the call
  LONG third = 41;       // by reference to a VT_I4
  VARIANT arguments[3];  // last first, as IDispatch wants them
  VariantInit(&arguments[2]);
  arguments[2].vt = VT_BYREF | VT_VARIANT;
  arguments[2].pvarVal = first.Get();
  arguments[1] = *OleVariant::Date(45000);
  VariantInit(&arguments[0]);
  arguments[0].vt = VT_BYREF | VT_I4;
  arguments[0].plVal = &third;
  DISPPARAMS params{arguments, nullptr, 3, 0};

  DISPID id = 0;
  std::u16string name = u"touch";  // names match without regard to case
  LPOLESTR names[] = {reinterpret_cast<LPOLESTR>(name.data())};
  ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
  OleVariant result;
  EXCEPINFO exception{};
  UINT arg_error = 0;
  ASSERT_EQ(dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                             result.Get(), &exception, &arg_error),
            S_OK);
  EXPECT_EQ(first->vt, VT_BSTR);
  EXPECT_EQ(tvx::BStrView(first->bstrVal), u"первый");
  EXPECT_EQ(third, 42);
  EXPECT_EQ(tvx::BStrView(result->bstrVal), u"result for Touch");
}

TEST_F(ClientTest, HistoryRequestIsForwardedAndItsPacketReturned) {
  std::atomic<bool> checked{false};
  ScriptedServer server([&](Socket& socket) {
    Greet(socket);
    const Frame frame = Receive(socket);
    const GetRecordsRequest request = DecodeGetRecordsRequest(frame.payload);
    checked = frame.type == FrameType::kGetRecords && request.provider == "dspQuery" &&
              request.count == -1 && request.options == 1 &&
              request.command_text == "SELECT * FROM OK_EXPORT_HISTORY" &&
              request.params == WireValue::Null();
    Send(socket, FrameType::kGetRecordsReply,
         Encode(GetRecordsReply{3, WireValue::Bytes({'T', 'V', 'D', 'P'})}));
    WaitForClose(socket);
  });
  auto connection = Connection(server.Port());
  const OleVariant reply =
      tvx::FetchAllRecords(*connection, "dspQuery", "SELECT * FROM OK_EXPORT_HISTORY");
  EXPECT_TRUE(checked);
  ASSERT_EQ(reply->vt, VT_ARRAY | VT_UI1);
  LONG upper = -1;
  SafeArrayGetUBound(reply->parray, 1, &upper);
  EXPECT_EQ(upper, 3);
}

TEST_F(ClientTest, HistoryRequestRefusedByTheServerRaisesItsText) {
  ScriptedServer server([](Socket& socket) {
    Greet(socket);
    Receive(socket);
    Send(socket, FrameType::kError,
         Encode(ErrorReply{kInvalidArg, "Tavolex.AppServer",
                           "Поставщик dspQuery выполняет только один запрос SELECT"}));
    WaitForClose(socket);
  });
  auto connection = Connection(server.Port());
  EXPECT_EQ(Capture([&] { tvx::FetchAllRecords(*connection, "dspQuery", "DELETE FROM STAFF"); }),
            (Raised{"EOleException", "Поставщик dspQuery выполняет только один запрос SELECT",
                    kInvalidArg, "Tavolex.AppServer"}));
}

TEST_F(ClientTest, UnknownMethodIsRefusedByNameWithoutARequest) {
  std::atomic<int> frames{0};
  ScriptedServer server([&](Socket& socket) {
    Greet(socket, {"ExportAllData"});
    Receive(socket);
    ++frames;
  });
  auto connection = Connection(server.Port());
  EXPECT_EQ(
      Capture([&] { tvx::CallExportData1C(*connection->AppServer(), 1, 2); }),
      (Raised{"EOleError", "Method 'ExportData1C' not supported by automation object", 0, {}}));
  EXPECT_EQ(frames, 0);
}

// A connection that the server drops in the middle of a call: the call fails with the
// connection's text, and the next read of AppServer connects afresh.
TEST_F(ClientTest, DroppedConnectionFailsTheCallAndTheNextCallReconnects) {
  std::atomic<int> served{0};
  ScriptedServer server([&](Socket& socket) {
    Greet(socket);
    Receive(socket);
    if (served++ == 0) return;  // drop the first connection without an answer
    Send(socket, FrameType::kInvokeReply, Encode(InvokeReply{}));
    WaitForClose(socket);
  });
  auto connection = Connection(server.Port());
  EXPECT_EQ(Capture([&] { tvx::CallExportAllData(*connection->AppServer()); }),
            Disconnected(server.Port(), "соединение разорвано"));
  EXPECT_FALSE(connection->Connected());
  EXPECT_EQ(Capture([&] { tvx::CallExportAllData(*connection->AppServer()); }).class_name,
            "(nothing)");
  EXPECT_EQ(server.Connections(), 2);
}

// The server closed an idle connection (it restarted, or timed the client out): the next
// AppServer notices before sending anything and reconnects, so the call goes through.
TEST_F(ClientTest, ConnectionClosedWhileIdleIsReplacedBeforeTheNextCall) {
  std::atomic<int> served{0};
  ScriptedServer server([&](Socket& socket) {
    Greet(socket);
    if (served++ == 0) return;  // close at once after the greeting
    Receive(socket);
    Send(socket, FrameType::kInvokeReply, Encode(InvokeReply{}));
    WaitForClose(socket);
  });
  auto connection = Connection(server.Port());
  connection->AppServer();
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (connection->Connected() && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_FALSE(connection->Connected());
  EXPECT_EQ(Capture([&] { tvx::CallExportAllData(*connection->AppServer()); }).class_name,
            "(nothing)");
  EXPECT_EQ(server.Connections(), 2);
}

TEST_F(ClientTest, SilentServerTimesOutAndTheConnectionIsDropped) {
  ScriptedServer server([](Socket& socket) {
    Greet(socket);
    Receive(socket);
    WaitForClose(socket);  // never answers
  });
  auto connection = Connection(server.Port(), std::chrono::milliseconds(300));
  EXPECT_EQ(Capture([&] { tvx::CallExportAllData(*connection->AppServer()); }),
            Disconnected(server.Port(), "сервер не ответил вовремя"));
  EXPECT_FALSE(connection->Connected());
}

TEST_F(ClientTest, PeerThatIsNoApplicationServerIsRejected) {
  ScriptedServer server([](Socket& socket) {
    Receive(socket);
    const std::string answer = "HTTP/1.1 400 Bad Request\r\n\r\n";
    socket.SendAll({reinterpret_cast<const std::uint8_t*>(answer.data()), answer.size()},
                   Clock::now() + std::chrono::seconds(5));
    WaitForClose(socket);
  });
  auto connection = Connection(server.Port());
  EXPECT_EQ(Capture([&] { connection->AppServer(); }),
            Disconnected(server.Port(), "по этому адресу отвечает не сервер приложений"));
}

// Replies that break the protocol: each fails the call with the connection's text and closes
// the connection, since what follows on it could no longer be trusted.
TEST_F(ClientTest, MalformedRepliesFailTheCallAndCloseTheConnection) {
  using Reply = std::function<void(Socket&)>;
  auto raw = [](std::vector<std::uint8_t> bytes) {
    return
        [bytes](Socket& socket) { socket.SendAll(bytes, Clock::now() + std::chrono::seconds(5)); };
  };
  struct Case {
    const char* name;
    Reply reply;
    const char* reason;
  };
  const Case cases[] = {
      {"frame longer than a reply may be", raw({0x01, 0x00, 0x00, 0x04, 0x83, 0x00, 0x00, 0x00}),
       "кадр длиной"},
      {"reserved header field set", raw({0x00, 0x00, 0x00, 0x00, 0x83, 0x00, 0x01, 0x00}),
       "в заголовке кадра занято резервное поле"},
      {"reply of another type",
       [](Socket& s) { Send(s, FrameType::kGetRecordsReply, Encode(GetRecordsReply{})); },
       "сервер прислал ответ не того типа"},
      {"reply cut short", raw({0x01, 0x00, 0x00, 0x00, 0x83, 0x00, 0x00, 0x00, 0x00}),
       "сообщение короче, чем заявлено"},
      {"value for an argument passed by value",
       [](Socket& s) {
         InvokeReply reply;
         reply.references = {{0, WireValue::I4(1)}};
         Send(s, FrameType::kInvokeReply, Encode(reply));
       },
       "сервер вернул значение не по ссылке"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedServer server([&](Socket& socket) {
      Greet(socket);
      Receive(socket);
      c.reply(socket);
      WaitForClose(socket);
    });
    auto connection = Connection(server.Port());
    OleVariant app_server = connection->AppServer();
    OleVariant argument = OleVariant::I4(5);
    const Raised raised = Capture([&] {
      tvx::DispatchCall(*app_server, "ExportAllData", std::span<const VARIANT>(argument.Get(), 1));
    });
    EXPECT_EQ(raised.class_name, "EOleException");
    EXPECT_EQ(raised.code, kDisconnected);
    EXPECT_NE(raised.message.find(c.reason), std::string::npos) << raised.message;
    EXPECT_EQ(raised.message.rfind(NoConnection(server.Port(), ""), 0), 0u) << raised.message;
    EXPECT_FALSE(connection->Connected());
  }
}

}  // namespace
