// Personnel data only for those who may see them: a client that has not proved who it is gets
// nothing but one refusal, later with each failure from its address; a user reads what the
// role may read; users are added and removed with the admin verbs.
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "connection/app_server_client.h"
#include "examples_server/server_fixture.h"
#include "server/login_throttle.h"
#include "server/request_error.h"

namespace {

using namespace tvx::example;
using namespace tvx::example::test;
using namespace std::chrono_literals;

const char kWrongLogin[] = "Неверное имя пользователя или пароль";

// The server's answer to a Hello: "(greeted)", or the Error's code and text.
std::string AnswerToHello(std::uint16_t port, const std::vector<std::uint8_t>& hello) {
  RawClient client(port, false);
  client.Send(FrameType::kHello, hello);
  const Frame reply = client.Receive();
  if (reply.type == FrameType::kHelloReply) return "(greeted)";
  if (reply.type != FrameType::kError) return "(something else)";
  const ErrorReply error = DecodeErrorReply(reply.payload);
  char code[16];
  std::snprintf(code, sizeof code, "%08x ", static_cast<unsigned>(error.code));
  return code + error.description + (client.ClosedByServer() ? ", closed" : ", left open");
}

std::vector<std::uint8_t> HelloOf(const std::string& user, const std::string& password) {
  return Encode(Hello{kProtocolVersion, "test", user, password});
}

TEST(Authentication, AClientWithoutAValidLoginGetsNothingButOneRefusal) {
  ScratchFolder folder;
  AddUser(folder.Path() / "data", "operator", "operator's password", Role::kOperator);
  ServerProcess server(folder.Path() / "data", {"--empty", "--login-delay", "50"});
  const std::string refused = "80070005 " + std::string(kWrongLogin) + ", closed";
  ByteWriter first_version;  // a client of the first version sent no credentials
  first_version.Raw({reinterpret_cast<const std::uint8_t*>(kHelloMagic), 4});
  first_version.U16(1);
  first_version.String("old client");
  struct Case {
    const char* name;
    std::vector<std::uint8_t> hello;
    std::string answer;
  };
  const Case cases[] = {
      {"wrong password", HelloOf("operator", "operator's passworD"), refused},
      {"unknown user", HelloOf("nobody", "operator's password"), refused},
      {"another user's password", HelloOf(kTestUser, "operator's password"), refused},
      {"no user", HelloOf("", ""), refused},
      {"no password", HelloOf("operator", ""), refused},
      {"a client of the first version", first_version.Take(),
       "80070057 Сервер приложений говорит на версии протокола 2, клиент на 1, closed"},
      {"the right password", HelloOf("operator", "operator's password"), "(greeted)"},
  };
  for (const Case& c : cases) EXPECT_EQ(AnswerToHello(server.Port(), c.hello), c.answer) << c.name;

  // Nothing answered before the login: a request in its place closes the connection.
  RawClient early(server.Port(), false);
  early.Send(
      FrameType::kGetRecords,
      Encode(GetRecordsRequest{"dspQuery", -1, 1, "SELECT * FROM STAFF", WireValue::Null()}));
  const Frame reply = early.Receive();
  ASSERT_EQ(reply.type, FrameType::kError);
  EXPECT_EQ(DecodeErrorReply(reply.payload).description,
            "Неверный запрос: соединение должно начинаться с приветствия");
  EXPECT_TRUE(early.ClosedByServer());

  // The connection reports the refusal as such, with the server's text.
  ClientOptions options;
  options.port = server.Port();
  options.user = "operator";
  options.password = "guess";
  AppServerClient client(options);
  try {
    client.Connect();
    ADD_FAILURE() << "connected with a wrong password";
  } catch (const ConnectionError& error) {
    EXPECT_EQ(error.Failure(), ConnectionFailure::kDenied);
    EXPECT_EQ(error.Message(), NoConnectionText(client.Address(), kWrongLogin));
  }
}

TEST(Authentication, EachFailureFromAnAddressWaitsLongerUntilALoginSucceeds) {
  ScratchFolder folder;
  ServerProcess server(folder.Path() / "data", {"--empty", "--login-delay", "50"});
  for (int i = 0; i < 3; ++i) AnswerToHello(server.Port(), HelloOf(kTestUser, "wrong"));
  EXPECT_EQ(AnswerToHello(server.Port(), HelloOf(kTestUser, kTestPassword)), "(greeted)");
  AnswerToHello(server.Port(), HelloOf(kTestUser, "wrong"));
  const std::string log = server.Log();
  std::vector<std::string> delays;
  for (std::size_t at = log.find("answered after "); at != std::string::npos;
       at = log.find("answered after ", at + 1)) {
    delays.push_back(log.substr(at + 15, log.find(' ', at + 15) - at - 15));
  }
  EXPECT_EQ(delays, (std::vector<std::string>{"50", "100", "200", "50"}));
  EXPECT_NE(log.find("login failed: \"test\" as user \"tester\""), std::string::npos);
  EXPECT_EQ(log.find("wrong"), std::string::npos) << "a password reached the log";
}

TEST(LoginThrottle, DelaysDoublePerAddressUpToTheLongestAndAreForgotten) {
  LoginThrottle throttle(1000ms);
  const auto start = LoginThrottle::Clock::now();
  std::vector<long> delays;
  for (int i = 0; i < 8; ++i) delays.push_back(throttle.Failed("10.0.0.1", start).count());
  EXPECT_EQ(delays, (std::vector<long>{1000, 2000, 4000, 8000, 16000, 30000, 30000, 30000}));
  EXPECT_EQ(throttle.Failed("10.0.0.2", start).count(), 1000) << "another address";
  throttle.Succeeded("10.0.0.2");
  EXPECT_EQ(throttle.Failed("10.0.0.2", start).count(), 1000) << "after a success";
  EXPECT_EQ(throttle.Failed("10.0.0.1", start + 14min).count(), 30000) << "still remembered";
  EXPECT_EQ(throttle.Failed("10.0.0.1", start + 30min).count(), 1000) << "after a quiet while";
}

// The admin verbs, run as the program; the password on standard input.
struct Run {
  int status;
  std::string output;
};
Run AdminVerb(const std::filesystem::path& data, const std::string& arguments,
              const std::string& input = {}) {
  const std::filesystem::path in = data.string() + ".in";
  const std::filesystem::path out = data.string() + ".out";
  std::ofstream(in) << input;
  const std::string command = std::string(TVX_APP_SERVER_PATH) + " user " + arguments +
                              " --data '" + data.string() + "' <'" + in.string() + "' >'" +
                              out.string() + "' 2>&1";
  const int status = std::system(command.c_str());
  Run run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out)};
  std::filesystem::remove(in);
  std::filesystem::remove(out);
  return run;
}

TEST(AdminVerbs, UsersAreAddedChangedListedAndRemoved) {
  ScratchFolder folder;
  const auto data = folder.Path() / "data";
  EXPECT_EQ(AdminVerb(data, "add ivanova --role export", "first password\n").output,
            "user ivanova: role export\n");
  EXPECT_EQ(AdminVerb(data, "add petrov --role operator", "second password\n").status, 0);
  EXPECT_EQ(AdminVerb(data, "list").output, "ivanova\texport\npetrov\toperator\n");
  // Nothing of a password is kept as it was typed.
  for (const char* file : {"tavolex.db", "tavolex.db-wal"}) {
    EXPECT_EQ(ReadFile(data / file).find("first password"), std::string::npos) << file;
  }

  struct Case {
    const char* arguments;
    const char* input;
    int status;
  };
  const Case refused[] = {
      {"add short --role export", "short\n", 1},
      {"add nobody --role chief", "long enough\n", 2},
      {"add nobody", "long enough\n", 2},
      {"remove stranger", "", 1},
      {"rename ivanova", "", 2},
  };
  for (const Case& c : refused) {
    EXPECT_EQ(AdminVerb(data, c.arguments, c.input).status, c.status) << c.arguments;
  }

  EXPECT_EQ(AdminVerb(data, "add ivanova --role admin", "new password\n").status, 0);
  EXPECT_EQ(AdminVerb(data, "remove petrov").output, "user petrov removed\n");
  EXPECT_EQ(AdminVerb(data, "list").output, "ivanova\tadmin\n");

  ServerProcess server(data);
  EXPECT_EQ(AnswerToHello(server.Port(), HelloOf("ivanova", "new password")), "(greeted)");
  EXPECT_NE(AnswerToHello(server.Port(), HelloOf("ivanova", "first password")), "(greeted)");
  EXPECT_NE(AnswerToHello(server.Port(), HelloOf("petrov", "second password")), "(greeted)");
  // The verbs work beside a running server, which sees the change at the next login.
  EXPECT_EQ(AdminVerb(data, "add sidorov --role operator", "third password\n").status, 0);
  EXPECT_EQ(AnswerToHello(server.Port(), HelloOf("sidorov", "third password")), "(greeted)");
}

}  // namespace
