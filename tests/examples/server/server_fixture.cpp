#include "examples/server/server_fixture.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "protocol/errors.h"
#include "server/launch/server_process.h"

namespace tvx::example::test {

namespace {
constexpr std::chrono::seconds kPatience{10};
}  // namespace

void AddUser(const std::filesystem::path& data_folder, const std::string& name,
             const std::string& password, Role role, bool sample_data) {
  Database db =
      Database::OpenForWriting(PrepareDatabase(Settings(data_folder, sample_data)).string());
  SetUser(db, name, password, role);
}

Hello TestHello(std::string client_name) {
  return Hello{kProtocolVersion, std::move(client_name), kTestUser, kTestPassword};
}

ServerSettings Settings(const std::filesystem::path& data_folder, bool sample_data) {
  ServerSettings settings;
  settings.data_folder = data_folder;
  settings.sample_data = sample_data;
  settings.exports_per_minute = 0;  // the tests export as often as they need
  return settings;
}

ScratchFolder::ScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tvx-server-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

ChangedRows InsertRowsChangedAt(Database& db, const std::vector<std::string>& moments) {
  ChangedRows rows;
  Statement count = db.Prepare("SELECT COUNT(*) FROM STAFF");
  count.Step();
  std::int64_t number = 100 + count.Int(0);
  for (const std::string& moment : moments) {
    Statement staff = db.Prepare(
        "INSERT INTO STAFF (PERSONNEL_NUMBER, LAST_NAME, FIRST_NAME, POSITION, DEPARTMENT, HIRED, "
        "SALARY, CHANGED_AT) VALUES (?, 'Тестов', 'Тест', 'Инженер', 'Склад', '2020-01-01', "
        "5000000, ?)");
    staff.Bind(1, "Т-" + std::to_string(number++)).Bind(2, moment);
    staff.Step();
    const std::int64_t id = db.LastInsertId();
    rows.staff.push_back(id);
    Statement vacation = db.Prepare(
        "INSERT INTO VACATIONS (STAFF_ID, KIND, START_DATE, END_DATE, CHANGED_AT) "
        "VALUES (?, 'Ежегодный оплачиваемый', '2024-07-01', '2024-07-14', ?)");
    vacation.Bind(1, id).Bind(2, moment);
    vacation.Step();
    rows.vacations.push_back(db.LastInsertId());
    Statement pay = db.Prepare(
        "INSERT INTO EXTRA_PAY (STAFF_ID, KIND, PAY_DATE, AMOUNT, CHANGED_AT) "
        "VALUES (?, 'Премия', '2024-02-25', 1000000, ?)");
    pay.Bind(1, id).Bind(2, moment);
    pay.Step();
    rows.extra_pay.push_back(db.LastInsertId());
  }
  return rows;
}

std::int64_t CountRows(Database& db, const std::string& table) {
  Statement count = db.Prepare("SELECT COUNT(*) FROM " + table);
  count.Step();
  return count.Int(0);
}

std::set<std::int64_t> ElementIds(const std::string& xml, const std::string& element) {
  std::set<std::int64_t> ids;
  const std::regex pattern("<" + element + " id=\"([0-9]+)\"");
  for (auto it = std::sregex_iterator(xml.begin(), xml.end(), pattern);
       it != std::sregex_iterator(); ++it) {
    ids.insert(std::stoll((*it)[1].str()));
  }
  return ids;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::set<std::string> FileNames(const std::filesystem::path& folder) {
  std::set<std::string> names;
  if (!std::filesystem::exists(folder)) return names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

ServerProcess::ServerProcess(const std::filesystem::path& data_folder,
                             std::vector<std::string> arguments, std::uint16_t port,
                             unsigned max_open_files) {
  log_ = data_folder.string() + ".log." + std::to_string(::getpid()) + "." +
         std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
  const bool empty = std::find(arguments.begin(), arguments.end(), "--empty") != arguments.end();
  AddUser(data_folder, kTestUser, kTestPassword, Role::kAdmin, !empty);
  std::vector<std::string> args = {TVX_APP_SERVER_PATH, "--data", data_folder.string(), "--port",
                                   std::to_string(port)};
  args.insert(args.end(), arguments.begin(), arguments.end());
  try {
    const LaunchedServer server = LaunchServer(std::move(args), log_.string(), max_open_files);
    pid_ = server.pid;
    port_ = server.port;
  } catch (const std::runtime_error& error) {
    throw std::runtime_error(error.what() + std::string("\n") + Log());
  }
}

ServerProcess::~ServerProcess() {
  Kill();
  std::error_code ignored;
  std::filesystem::remove(log_, ignored);
}

void ServerProcess::Kill() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

int ServerProcess::Stop() {
  if (pid_ <= 0) return -1;
  ::kill(pid_, SIGTERM);
  int status = 0;
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
  return status;
}

std::string ServerProcess::Log() const { return ReadFile(log_); }

long ServerProcess::Status(const std::string& field) const {
  const std::string status = ReadFile("/proc/" + std::to_string(pid_) + "/status");
  const auto at = status.find("\n" + field + ":");
  if (at == std::string::npos) return -1;
  return std::strtol(status.c_str() + at + field.size() + 2, nullptr, 10);
}

bool ServerProcess::WaitForLog(const std::string& text) const {
  return Eventually([&] { return Log().find(text) != std::string::npos; });
}

RawClient::RawClient(std::uint16_t port, bool greet)
    : socket_(Socket::Connect("127.0.0.1", port, kPatience)) {
  if (!greet) return;
  Send(FrameType::kHello, Encode(TestHello()));
  if (Receive().type != FrameType::kHelloReply) throw std::runtime_error("not greeted");
}

void RawClient::Send(FrameType type, const std::vector<std::uint8_t>& payload) {
  WriteFrame(socket_, type, payload, kPatience);
}

void RawClient::SendBytes(const std::vector<std::uint8_t>& bytes) {
  socket_.SendAll(bytes, Clock::now() + kPatience);
}

Frame RawClient::Receive() {
  return ReadFrame(socket_, kMaxReplyPayload, Clock::now() + kPatience, kPatience);
}

bool RawClient::ClosedByServer() {
  std::array<std::uint8_t, 1> byte{};
  try {
    socket_.ReceiveExact(byte, Clock::now() + kPatience);
  } catch (const ConnectionError& error) {
    return error.Failure() == ConnectionFailure::kClosed;
  }
  return false;
}

SilentConnection::SilentConnection(std::uint16_t port, const std::string& from_address) {
  fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd_ < 0) throw std::runtime_error("socket failed");
  sockaddr_in local{};
  local.sin_family = AF_INET;
  ::inet_pton(AF_INET, from_address.c_str(), &local.sin_addr);
  sockaddr_in server{};
  server.sin_family = AF_INET;
  server.sin_port = htons(port);
  ::inet_pton(AF_INET, "127.0.0.1", &server.sin_addr);
  if (::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
      ::connect(fd_, reinterpret_cast<sockaddr*>(&server), sizeof server) != 0) {
    ::close(fd_);
    throw std::runtime_error("cannot connect from " + from_address + ": " + std::strerror(errno));
  }
}

SilentConnection::~SilentConnection() {
  if (fd_ >= 0) ::close(fd_);
}

void SilentConnection::Say(const std::vector<std::uint8_t>& bytes) {
  if (::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(bytes.size())) {
    throw std::runtime_error("send failed");
  }
}

bool SilentConnection::ClosedByServer(std::chrono::milliseconds patience) {
  const auto deadline = Clock::now() + patience;
  char buffer[512];
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    pollfd entry{fd_, POLLIN, 0};
    if (::poll(&entry, 1, static_cast<int>(left.count())) <= 0) continue;
    const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
    if (n == 0 || (n < 0 && errno == ECONNRESET)) return true;
    if (n < 0 && errno != EINTR && errno != EAGAIN) return false;
  }
}

}  // namespace tvx::example::test
