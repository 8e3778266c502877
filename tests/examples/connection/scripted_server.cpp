#include "examples/connection/scripted_server.h"

#include "protocol/errors.h"

namespace tvx::example::test {

namespace {
constexpr std::chrono::seconds kPatience{10};
}  // namespace

ScriptedServer::ScriptedServer(Script script)
    : script_(std::move(script)), listener_(Listener::Bind("127.0.0.1", 0)) {
  port_ = listener_.Port();
  acceptor_ = std::thread([this] { Accept(); });
}

ScriptedServer::~ScriptedServer() {
  stop_ = true;
  acceptor_.join();
  {
    std::lock_guard lock(mutex_);
    for (auto& socket : sockets_) socket->Shutdown();
  }
  for (auto& thread : scripts_) thread.join();
}

void ScriptedServer::Accept() {
  while (!stop_) {
    Socket accepted = listener_.Accept(std::chrono::milliseconds(50));
    if (!accepted.IsOpen()) continue;
    ++connections_;
    auto socket = std::make_shared<Socket>(std::move(accepted));
    std::lock_guard lock(mutex_);
    sockets_.push_back(socket);
    scripts_.emplace_back([this, socket] {
      try {
        script_(*socket);
      } catch (const Exception&) {
        // The client went away, or the script gave up: the connection ends either way.
      }
      socket->Shutdown();
    });
  }
}

Frame Receive(Socket& socket) {
  return ReadFrame(socket, kMaxRequestPayload, Clock::now() + kPatience, kPatience);
}

void Send(Socket& socket, FrameType type, const std::vector<std::uint8_t>& payload) {
  WriteFrame(socket, type, payload, kPatience);
}

void Greet(Socket& socket, std::vector<std::string> methods) {
  const Frame hello = Receive(socket);
  if (hello.type != FrameType::kHello) throw ProtocolError("expected Hello");
  DecodeHello(hello.payload);
  Send(socket, FrameType::kHelloReply, Encode(HelloReply{kProtocolVersion, "scripted", methods}));
}

void WaitForClose(Socket& socket) {
  std::array<std::uint8_t, 1> byte{};
  try {
    for (;;) socket.ReceiveExact(byte, Clock::now() + kPatience);
  } catch (const ConnectionError&) {
  }
}

std::uint16_t UnusedPort() {
  const Listener listener = Listener::Bind("127.0.0.1", 0);
  return listener.Port();
}

}  // namespace tvx::example::test
