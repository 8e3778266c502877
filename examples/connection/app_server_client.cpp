#include "connection/app_server_client.h"

#include "protocol/frame_io.h"
#include "protocol/tls.h"

namespace tvx::example {

namespace {
constexpr std::int32_t kAccessDeniedCode = static_cast<std::int32_t>(0x80070005u);
}  // namespace

std::string NoConnectionText(const std::string& address, const std::string& reason) {
  return "Нет связи с сервером приложений (" + address + "): " + reason;
}

AppServerClient::AppServerClient(ClientOptions options) : options_(std::move(options)) {}

std::string AppServerClient::Address() const {
  const bool v6 = options_.host.find(':') != std::string::npos;
  return (v6 ? "[" + options_.host + "]" : options_.host) + ":" + std::to_string(options_.port);
}

void AppServerClient::Fail(const ConnectionError& error) {
  socket_.Close();
  throw ConnectionError(error.Failure(), NoConnectionText(Address(), error.Message()));
}

void AppServerClient::Fail(ConnectionFailure failure, const std::string& reason) {
  Fail(ConnectionError(failure, reason));
}

void AppServerClient::Connect() {
  std::lock_guard lock(mutex_);
  socket_.Close();
  try {
    const auto deadline = Clock::now() + options_.connect_timeout;
    socket_ = Socket::Connect(options_.host, options_.port, options_.connect_timeout);
    if (options_.tls) StartTlsClient(socket_, options_.host, options_.tls_pin, deadline);
  } catch (const ConnectionError& error) {
    Fail(error);
  }
  Hello hello;
  hello.client_name = options_.client_name;
  hello.user = options_.user;
  hello.password = options_.password;
  const Frame reply = Exchange(FrameType::kHello, Encode(hello), FrameType::kHelloReply);
  HelloReply greeting;
  try {
    greeting = DecodeHelloReply(reply.payload);
  } catch (const ProtocolError& error) {
    Fail(ConnectionFailure::kMalformed,
         "сервер прислал неверное приветствие (" + error.Message() + ")");
  }
  if (greeting.version != kProtocolVersion) {
    Fail(ConnectionFailure::kRejected, "сервер говорит на версии протокола " +
                                           std::to_string(greeting.version) + ", клиент на " +
                                           std::to_string(kProtocolVersion));
  }
  server_name_ = std::move(greeting.server_name);
  methods_ = std::move(greeting.methods);
}

bool AppServerClient::Usable() {
  std::lock_guard lock(mutex_);
  if (!socket_.IsOpen()) return false;
  if (socket_.PeerGone()) {
    socket_.Close();
    return false;
  }
  return true;
}

void AppServerClient::Disconnect() {
  std::lock_guard lock(mutex_);
  socket_.Close();
}

Frame AppServerClient::Exchange(FrameType type, const std::vector<std::uint8_t>& payload,
                                FrameType expected) {
  if (!socket_.IsOpen()) Fail(ConnectionFailure::kClosed, "соединение разорвано");
  Frame reply;
  try {
    WriteFrame(socket_, type, payload, options_.call_timeout);
    reply = ReadFrame(socket_, kMaxReplyPayload, Clock::now() + options_.call_timeout,
                      options_.call_timeout);
  } catch (const ConnectionError& error) {
    Fail(error);
  } catch (const ProtocolError& error) {
    if (expected == FrameType::kHelloReply) {
      Fail(ConnectionFailure::kRejected, "по этому адресу отвечает не сервер приложений");
    }
    Fail(ConnectionFailure::kMalformed, "сервер прислал неверные данные (" + error.Message() + ")");
  }
  if (reply.type == FrameType::kError) {
    ErrorReply error;
    try {
      error = DecodeErrorReply(reply.payload);
    } catch (const ProtocolError& bad) {
      Fail(ConnectionFailure::kMalformed, "сервер прислал неверные данные (" + bad.Message() + ")");
    }
    // The server closes the connection after an error that concerns the connection itself
    // (it says so by closing); a refused request leaves it open.
    if (expected == FrameType::kHelloReply) {
      Fail(error.code == kAccessDeniedCode ? ConnectionFailure::kDenied
                                           : ConnectionFailure::kRejected,
           error.description);
    }
    throw ServerError(error.code, std::move(error.source), std::move(error.description));
  }
  if (reply.type != expected) {
    if (expected == FrameType::kHelloReply) {
      Fail(ConnectionFailure::kRejected, "по этому адресу отвечает не сервер приложений");
    }
    Fail(ConnectionFailure::kMalformed, "сервер прислал ответ не того типа");
  }
  return reply;
}

GetRecordsReply AppServerClient::GetRecords(const GetRecordsRequest& request) {
  std::lock_guard lock(mutex_);
  const Frame reply =
      Exchange(FrameType::kGetRecords, Encode(request), FrameType::kGetRecordsReply);
  try {
    return DecodeGetRecordsReply(reply.payload);
  } catch (const ProtocolError& error) {
    Fail(ConnectionFailure::kMalformed, "сервер прислал неверные данные (" + error.Message() + ")");
  }
}

InvokeReply AppServerClient::Invoke(const InvokeRequest& request) {
  std::lock_guard lock(mutex_);
  const Frame reply = Exchange(FrameType::kInvoke, Encode(request), FrameType::kInvokeReply);
  try {
    return DecodeInvokeReply(reply.payload);
  } catch (const ProtocolError& error) {
    Fail(ConnectionFailure::kMalformed, "сервер прислал неверные данные (" + error.Message() + ")");
  }
}

}  // namespace tvx::example
