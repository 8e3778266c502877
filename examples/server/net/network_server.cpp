#include "server/net/network_server.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <system_error>

#include "protocol/errors.h"
#include "protocol/frame_io.h"
#include "protocol/tls.h"
#include "server/common/request_error.h"
#include "server/common/server_log.h"

namespace tvx::example {

namespace {

constexpr std::chrono::milliseconds kAcceptTick{200};
constexpr std::chrono::milliseconds kFirstAcceptBackoff{50};
constexpr std::chrono::milliseconds kLongestAcceptBackoff{2000};
constexpr std::chrono::milliseconds kRefusalTimeout{2000};
// A Hello is a few hundred bytes: a client that has not greeted may not make the server
// allocate more for it.
constexpr std::uint32_t kMaxHelloPayload = 4096;

const char kInternalFailure[] =
    "Сервер приложений не смог выполнить запрос; причина записана в его журнал";

std::string Hex(std::int32_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(code));
  return text;
}

std::string Elapsed(Clock::time_point started) {
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
  char text[32];
  std::snprintf(text, sizeof text, "%.1f ms", ms);
  return text;
}

// The text of a command for the log: one line, at most 120 characters.
std::string Brief(const std::string& text) {
  std::string line;
  for (const char c : text) {
    if (line.size() >= 120) {
      line += "…";
      break;
    }
    line += (c == '\n' || c == '\r' || c == '\t') ? ' ' : c;
  }
  return line;
}

std::string DescribeCall(const InvokeRequest& request) {
  std::string text = EscapeLogText(request.method) + "(";
  for (std::size_t i = 0; i < request.arguments.size(); ++i) {
    if (i > 0) text += ", ";
    if (request.arguments[i].passing != Passing::kValue) text += "&";
    const WireValue& value = request.arguments[i].value;
    const std::string described = Describe(value);
    // A text argument as a value of its own, in its quotes.
    text += value.type == WireType::kString && described.size() >= 2
                ? LogValue(described.substr(1, described.size() - 2))
                : described;
  }
  return text + ")";
}

void SendError(Socket& socket, std::int32_t code, const std::string& text,
               std::chrono::milliseconds timeout) {
  ErrorReply error;
  error.code = code;
  error.source = kServerSource;
  error.description = text;
  WriteFrame(socket, FrameType::kError, Encode(error), timeout);
}

// Tells the client why the connection ends; it may be gone already.
void Refuse(Socket& socket, std::int32_t code, const std::string& text) {
  try {
    SendError(socket, code, text, kRefusalTimeout);
  } catch (const ConnectionError&) {
  }
}

}  // namespace

template <class Work>
void NetworkServer::Answer(Socket& socket, const std::string& who, const std::string& what,
                           Work work) {
  const auto started = Clock::now();
  try {
    // Logged before the reply leaves: an export is complete whether or not the client is
    // still there to hear of it.
    const Outcome outcome = work();
    LogLine(who + " " + what + " -> " + outcome.summary + ", " + Elapsed(started));
    WriteFrame(socket, outcome.type, outcome.payload, settings_.io_timeout);
  } catch (const RequestError& error) {
    LogLine(who + " " + what + " -> error " + Hex(error.Code()) + ": " + error.Message() +
            (error.Detail().empty() ? "" : " (" + error.Detail() + ")"));
    SendError(socket, error.Code(), error.Message(), settings_.io_timeout);
  } catch (const ConnectionError&) {
    throw;
  } catch (const ProtocolError&) {
    throw;
  } catch (const std::exception& error) {
    // The database's or the system's words, with paths in them, are for the log alone.
    LogWarning(who + " " + what + " -> failed: " + error.what());
    SendError(socket, kFailed, kInternalFailure, settings_.io_timeout);
  }
}

namespace {

// Plain connections carry personnel data in clear: they stay on this machine.
const std::string& ListenableAddress(const std::string& host, bool tls) {
  if (!tls && !IsLoopbackHost(host)) {
    throw Exception("адрес " + host +
                    " доступен из сети, а соединения без TLS не шифруются: без --tls-cert и "
                    "--tls-key сервер слушает только адреса этого компьютера (127.0.0.1, ::1, "
                    "localhost)");
  }
  return host;
}

std::unique_ptr<TlsServerContext> LoadTls(const NetworkSettings& settings) {
  if (settings.tls_certificate.empty()) return nullptr;
  return std::make_unique<TlsServerContext>(settings.tls_certificate, settings.tls_key);
}

}  // namespace

NetworkServer::NetworkServer(AppServerCore& core, NetworkSettings settings)
    : core_(core),
      settings_(std::move(settings)),
      tls_(LoadTls(settings_)),
      listener_(Listener::Bind(ListenableAddress(settings_.host, tls_ != nullptr), settings_.port)),
      throttle_(settings_.login),
      login_checks_(static_cast<std::ptrdiff_t>(
          std::max<std::size_t>(1, settings_.concurrent_login_checks))) {}

std::string NetworkServer::TlsFingerprint() const {
  return tls_ != nullptr ? tls_->Fingerprint() : std::string();
}

NetworkServer::~NetworkServer() {
  for (auto& session : sessions_) session->socket.Shutdown();
  for (auto& session : sessions_) {
    if (session->thread.joinable()) session->thread.join();
  }
}

void NetworkServer::ReapFinished() {
  for (auto it = sessions_.begin(); it != sessions_.end();) {
    if ((*it)->done.load()) {
      (*it)->thread.join();
      it = sessions_.erase(it);
    } else {
      ++it;
    }
  }
}

std::thread NetworkServer::StartThread(std::function<void()> work) {
  return std::thread(std::move(work));
}

bool NetworkServer::EvictOneSilent() {
  Session* oldest = nullptr;
  for (auto& session : sessions_) {
    if (session->greeted.load() || session->evicted.load() || session->done.load()) continue;
    if (oldest == nullptr || session->accepted < oldest->accepted) oldest = session.get();
  }
  if (oldest == nullptr) return false;
  oldest->evicted.store(true);
  oldest->socket.Shutdown();
  return true;
}

void NetworkServer::Admit(Socket socket) {
  std::string address = socket.PeerAddress();
  std::size_t from_address = 0;
  std::size_t live = 0;
  std::size_t running = 0;
  for (const auto& session : sessions_) {
    if (session->done.load()) continue;
    ++running;
    if (session->evicted.load()) continue;
    ++live;
    if (session->address == address) ++from_address;
  }
  if (from_address >= settings_.max_per_address) {
    LogLine("refused " + socket.PeerName() + ": " + std::to_string(from_address) +
            " connections from that address already");
    Refuse(socket, kServerBusy,
           "Сервер приложений занят: с этого адреса открыто наибольшее число соединений (" +
               std::to_string(settings_.max_per_address) + ")");
    return;
  }
  // The threads of connections that gave up their place end at once, but until they have,
  // they count: the threads stay within twice the places, whatever comes in.
  if ((live >= settings_.max_clients && !EvictOneSilent()) ||
      running >= 2 * settings_.max_clients) {
    LogWarning("refused " + socket.PeerName() + ": " + std::to_string(live) +
               " connections already");
    Refuse(socket, kServerBusy,
           "Сервер приложений занят: открыто наибольшее число соединений (" +
               std::to_string(settings_.max_clients) + ")");
    return;
  }
  auto session = std::make_unique<Session>();
  session->id = next_id_++;
  session->address = std::move(address);
  session->accepted = Clock::now();
  session->socket = std::move(socket);
  Session& ref = *session;
  sessions_.push_back(std::move(session));
  try {
    ref.thread = StartThread([this, &ref] { Serve(ref); });
  } catch (const std::system_error& error) {
    LogWarning("refused #" + std::to_string(ref.id) + " " + ref.socket.PeerName() +
               ": no thread for it (" + error.what() + ")");
    Refuse(ref.socket, kServerBusy,
           "Сервер приложений не смог принять соединение; повторите позже");
    sessions_.pop_back();
  }
}

bool NetworkServer::TakePlace(const std::string& user) {
  std::lock_guard lock(places_mutex_);
  std::size_t& taken = places_[user];
  if (taken >= settings_.max_per_user) return false;
  ++taken;
  return true;
}

void NetworkServer::GivePlace(const std::string& user) {
  std::lock_guard lock(places_mutex_);
  const auto found = places_.find(user);
  if (found == places_.end()) return;
  if (--found->second == 0) places_.erase(found);
}

std::optional<User> NetworkServer::LogIn(Session& session, const std::string& who,
                                         const Hello& hello) {
  const std::string names = LogValue(hello.client_name) + " as user " + LogValue(hello.user);
  // A password check at a time for each of a few slots; a connection waits for one while its
  // place is its own, and gives up when the place is wanted or the server stops.
  const auto give_up_at = Clock::now() + settings_.io_timeout;
  bool slot = false;
  while (!slot && !stop_.load() && !session.evicted.load() && Clock::now() < give_up_at) {
    slot = login_checks_.try_acquire_for(kAcceptTick);
  }
  if (!slot) {
    LogLine(who + " login of " + names + " not checked: no check free");
    Refuse(session.socket, kServerBusy, "Сервер приложений занят; повторите вход позже");
    return std::nullopt;
  }
  struct Slot {
    std::counting_semaphore<>& checks;
    ~Slot() { checks.release(); }
  } const held{login_checks_};
  const auto wait = throttle_.BeginGuess(session.address, hello.user);
  if (wait.count() > 0) {
    // Refused unchecked: the client learns nothing of the password.
    const auto seconds = (wait.count() + 999) / 1000;
    LogLine(who + " login of " + names + " not checked: next guess in " +
            std::to_string(wait.count()) + " ms");
    Refuse(session.socket, kAccessDenied,
           "Слишком много неудачных попыток входа; следующая возможна через " +
               std::to_string(seconds) + " с");
    return std::nullopt;
  }
  std::optional<User> user;
  try {
    user = core_.Authenticate(hello.user, hello.password);
  } catch (...) {
    throttle_.Failed(session.address, hello.user);  // the guess is over, whatever broke
    throw;
  }
  if (!user) {
    throttle_.Failed(session.address, hello.user);
    LogLine(who + " login failed: " + names);
    Refuse(session.socket, kAccessDenied, "Неверное имя пользователя или пароль");
    return std::nullopt;
  }
  throttle_.Succeeded(session.address, hello.user);
  if (!TakePlace(user->name)) {
    LogLine(who + " login of " + names + " refused: " + std::to_string(settings_.max_per_user) +
            " connections of that user already");
    Refuse(session.socket, kServerBusy,
           "Сервер приложений занят: у этого пользователя открыто наибольшее число соединений (" +
               std::to_string(settings_.max_per_user) + ")");
    return std::nullopt;
  }
  return user;
}

void NetworkServer::Run() {
  // After a failed accept (no descriptors left, say) the listener stays readable: the next
  // attempt waits, longer each time, instead of spinning.
  std::chrono::milliseconds backoff{0};
  while (!stop_.load()) {
    Socket socket;
    try {
      socket = listener_.Accept(kAcceptTick);
      backoff = std::chrono::milliseconds{0};
    } catch (const ConnectionError& error) {
      backoff = std::min(std::max(backoff * 2, kFirstAcceptBackoff), kLongestAcceptBackoff);
      LogWarning("accept failed (" + error.Message() + "); next attempt in " +
                 std::to_string(backoff.count()) + " ms");
      ReapFinished();
      for (auto waited = std::chrono::milliseconds{0}; waited < backoff && !stop_.load();
           waited += kAcceptTick) {
        std::this_thread::sleep_for(std::min(kAcceptTick, backoff - waited));
      }
      continue;
    }
    ReapFinished();
    if (socket.IsOpen()) Admit(std::move(socket));
  }
  for (auto& session : sessions_) session->socket.Shutdown();
  for (auto& session : sessions_) session->thread.join();
  sessions_.clear();
}

bool NetworkServer::StartTls(Socket& socket, const std::string& who, Clock::time_point deadline) {
  std::array<std::uint8_t, 3> opening{};
  if (socket.PeekRaw(opening, deadline) < opening.size()) {
    throw ConnectionError(ConnectionFailure::kTimedOut, "нет приветствия");
  }
  if (!LooksLikeTlsRecord(opening)) {
    LogLine(who + " spoke without TLS, closing");
    Refuse(socket, kInvalidArgument,
           "Сервер приложений принимает только соединения TLS: включите TLS в настройках "
           "клиента");
    return false;
  }
  try {
    tls_->Secure(socket, deadline);
  } catch (const ConnectionError& error) {
    if (error.Failure() != ConnectionFailure::kRejected) throw;
    LogLine(who + " TLS handshake failed, closing: " + error.Message());
    return false;
  }
  return true;
}

void NetworkServer::Serve(Session& session) {
  Socket& socket = session.socket;
  std::string who = "#";
  who += std::to_string(session.id);
  who += ' ';
  who += socket.PeerName();
  LogLine(who + " connected");
  std::optional<QueryConnection> queries;
  std::optional<User> user;  // once greeted
  bool greeted = false;
  bool has_place = false;  // one of the user's places
  const Clock::time_point greeting_deadline = session.accepted + settings_.greeting_timeout;
  try {
    const bool secured = tls_ == nullptr || StartTls(socket, who, greeting_deadline);
    while (secured && !stop_.load()) {
      Frame frame;
      try {
        if (greeted) {
          frame = ReadFrame(socket, kMaxRequestPayload, Clock::now() + settings_.idle_timeout,
                            settings_.io_timeout);
        } else {
          // The whole greeting within its deadline, however the client spreads its bytes.
          const auto left =
              std::chrono::ceil<std::chrono::milliseconds>(greeting_deadline - Clock::now());
          frame = ReadFrame(socket, kMaxHelloPayload, greeting_deadline,
                            std::max(left, std::chrono::milliseconds{1}));
        }
      } catch (const ProtocolError& error) {
        LogLine(who + " bad frame, closing: " + error.Message());
        Refuse(socket, kInvalidArgument, "Неверный кадр: " + error.Message());
        break;
      }
      try {
        if (!greeted) {
          if (frame.type != FrameType::kHello) {
            throw ProtocolError("соединение должно начинаться с приветствия");
          }
          const Hello hello = DecodeHello(frame.payload);
          if (hello.version != kProtocolVersion) {
            LogLine(who + " speaks protocol version " + std::to_string(hello.version));
            Refuse(socket, kInvalidArgument,
                   "Сервер приложений говорит на версии протокола " +
                       std::to_string(kProtocolVersion) + ", клиент на " +
                       std::to_string(hello.version));
            break;
          }
          user = LogIn(session, who, hello);
          if (!user) break;
          has_place = true;
          // Greeted before the reply leaves: the client may connect anew the moment it has it,
          // and this place is no longer one to give up then.
          greeted = true;
          session.greeted.store(true);
          WriteFrame(socket, FrameType::kHelloReply, Encode(core_.Greeting()),
                     settings_.io_timeout);
          LogLine(who + " hello from " + LogValue(hello.client_name) + " as user " +
                  LogValue(user->name) + " (" + RoleName(user->role) + ")");
          continue;
        }
        switch (frame.type) {
          case FrameType::kGetRecords: {
            const GetRecordsRequest request = DecodeGetRecordsRequest(frame.payload);
            const std::string what = "GetRecords " + EscapeLogText(request.provider) + " " +
                                     LogValue(Brief(request.command_text));
            Answer(socket, who, what, [&] {
              if (!queries) queries = core_.OpenQueryConnection(user->role);
              const GetRecordsReply reply = core_.GetRecords(*queries, request);
              return Outcome{std::to_string(reply.records_out) + " rows, " +
                                 std::to_string(reply.data.bytes.size()) + " bytes",
                             FrameType::kGetRecordsReply, Encode(reply)};
            });
            // The reply has left, or failed to: its memory is free for others.
            if (queries) queries->reply.Release();
            break;
          }
          case FrameType::kInvoke: {
            const InvokeRequest request = DecodeInvokeRequest(frame.payload);
            Answer(socket, who, DescribeCall(request), [&] {
              ExportOutcome done;
              const InvokeReply reply = core_.Invoke(*user, request, &done);
              return Outcome{"export " + std::to_string(done.id) + " (" + done.file_name + ": " +
                                 std::to_string(done.staff) + " staff, " +
                                 std::to_string(done.vacations) + " vacations, " +
                                 std::to_string(done.extra_pay) + " extra pay)",
                             FrameType::kInvokeReply, Encode(reply)};
            });
            break;
          }
          case FrameType::kHello:
            throw ProtocolError("повторное приветствие");
          default: {
            char text[64];
            std::snprintf(text, sizeof text, "неизвестный тип кадра 0x%04x",
                          static_cast<unsigned>(frame.type));
            throw ProtocolError(text);
          }
        }
      } catch (const ProtocolError& error) {
        LogLine(who + " bad request, closing: " + error.Message());
        Refuse(socket, kInvalidArgument, "Неверный запрос: " + error.Message());
        break;
      }
    }
  } catch (const ConnectionError& error) {
    switch (error.Failure()) {
      case ConnectionFailure::kClosed:
        LogLine(who +
                (session.evicted.load() ? " closed: it had not greeted and its place was wanted"
                 : error.Message() == kConnectionBroken ? " disconnected"
                                                        : " disconnected: " + error.Message()));
        break;
      case ConnectionFailure::kTimedOut:
        LogLine(who + (greeted ? " timed out, closing" : " did not greet in time, closing"));
        break;
      default:
        LogLine(who + " closed: " + error.Message());
    }
  } catch (const std::exception& error) {
    LogWarning(who + " failed: " + error.what());
  }
  if (has_place) GivePlace(user->name);
  session.done.store(true);
}

}  // namespace tvx::example
