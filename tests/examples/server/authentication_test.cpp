// Personnel data only for those who may see them: a client that has not proved who it is gets
// nothing but one refusal, later with each failure from its address; a user reads what the
// role may read; users are added and removed with the admin verbs.
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "connection/app_server_client.h"
#include "examples/server/server_fixture.h"
#include "server/common/request_error.h"
#include "server/users/login_throttle.h"

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
  // Each guess waits for the failures before it, a few milliseconds here.
  ServerProcess server(folder.Path() / "data", {"--empty", "--login-delay", "1"});
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
  for (const Case& c : cases) {
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(AnswerToHello(server.Port(), c.hello), c.answer) << c.name;
  }

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
  std::this_thread::sleep_for(50ms);
  AppServerClient client(options);
  try {
    client.Connect();
    ADD_FAILURE() << "connected with a wrong password";
  } catch (const ConnectionError& error) {
    EXPECT_EQ(error.Failure(), ConnectionFailure::kDenied);
    EXPECT_EQ(error.Message(), NoConnectionText(client.Address(), kWrongLogin));
  }
}

// A failed login is answered at once; the next guess from its address, or for its name, is
// refused without its password being checked until the wait is over, even when it is the
// right password: a guess made early tells the client nothing.
TEST(Authentication, GuessesWaitNotAnswersAndAnEarlyGuessLearnsNothing) {
  ScratchFolder folder;
  ServerProcess server(folder.Path() / "data", {"--empty", "--login-delay", "400"});
  const std::string wrong = "80070005 " + std::string(kWrongLogin) + ", closed";
  const std::string unchecked =
      "80070005 Слишком много неудачных попыток входа; следующая возможна через 1 с, closed";
  struct Step {
    const char* password;
    std::chrono::milliseconds wait_before;
    std::string answer;
  };
  const Step steps[] = {
      {"wrong", 0ms, wrong},           {"wrong again", 0ms, unchecked},
      {kTestPassword, 0ms, unchecked}, {kTestPassword, 500ms, "(greeted)"},
      {"wrong", 0ms, wrong},
  };
  for (const Step& step : steps) {
    std::this_thread::sleep_for(step.wait_before);
    EXPECT_EQ(AnswerToHello(server.Port(), HelloOf(kTestUser, step.password)), step.answer)
        << step.password;
  }
  const std::string log = server.Log();
  auto count = [&](const std::string& what) {
    int n = 0;
    for (auto at = log.find(what); at != std::string::npos; at = log.find(what, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("login failed: "), 2);
  EXPECT_EQ(count("not checked: next guess in "), 2);
  EXPECT_NE(log.find("login failed: \"test\" as user \"tester\""), std::string::npos);
  EXPECT_EQ(log.find("wrong"), std::string::npos) << "a password reached the log";
}

// Each step: a guess at a moment (milliseconds from the start) from an address for a name,
// and either how long it is told to wait or, when let through, whether it succeeds.
TEST(LoginThrottle, GuessesWaitPerAddressPerNameAndAcrossAll) {
  LoginThrottle throttle(LoginPolicy{1000ms, 5});
  const auto start = LoginThrottle::Clock::now();
  struct Step {
    long at;
    const char* address;
    const char* name;
    long wait;  // expected; 0: let through
    bool succeeds = false;
  };
  const Step steps[] = {
      {0, "10.0.0.1", "ivanova", 0},
      {0, "10.0.0.1", "ivanova", 1000},  // the address waits
      {0, "10.0.0.2", "ivanova", 1000},  // and so does the name, from anywhere
      {0, "10.0.0.2", "petrov", 0},      // others do not
      {1000, "10.0.0.1", "ivanova", 0},  // the second failure: two seconds
      {2000, "10.0.0.1", "ivanova", 1000},
      {3000, "10.0.0.1", "ivanova", 0, true},  // a success forgets both
      {3000, "10.0.0.1", "ivanova", 0},
      {4000, "10.0.0.3", "sidorov", 0},           // the fifth failure within a minute
      {4000, "10.0.0.4", "kuznetsova", 56000},    // no more guesses from new addresses
      {4000, "10.0.0.1", "kuznetsova", 0, true},  // but from one that logged in before
      {60000, "10.0.0.4", "kuznetsova", 0},       // the first failure has left the minute
  };
  for (const Step& step : steps) {
    const auto now = start + std::chrono::milliseconds(step.at);
    const auto wait = throttle.BeginGuess(step.address, step.name, now);
    EXPECT_EQ(wait.count(), step.wait) << step.at << " " << step.address << " " << step.name;
    if (wait.count() > 0) continue;
    if (step.succeeds) {
      throttle.Succeeded(step.address, step.name);
    } else {
      throttle.Failed(step.address, step.name, now);
    }
  }
  // The wait doubles up to the longest, and a quarter of an hour forgets it.
  LoginThrottle doubling(LoginPolicy{1000ms, 1000});
  std::vector<long> waits;
  auto now = start;
  for (int i = 0; i < 7; ++i) {
    ASSERT_EQ(doubling.BeginGuess("10.0.0.9", "x", now).count(), 0);
    doubling.Failed("10.0.0.9", "x", now);
    waits.push_back(doubling.BeginGuess("10.0.0.9", "x", now).count());
    now += std::chrono::milliseconds(waits.back());
  }
  EXPECT_EQ(waits, (std::vector<long>{1000, 2000, 4000, 8000, 16000, 30000, 30000}));
  EXPECT_EQ(doubling.BeginGuess("10.0.0.9", "x", now + 16min).count(), 0);
  // While a guess after a failure is being checked, another one waits.
  LoginThrottle one_at_a_time(LoginPolicy{1000ms, 1000});
  ASSERT_EQ(one_at_a_time.BeginGuess("10.0.0.5", "y", start).count(), 0);
  one_at_a_time.Failed("10.0.0.5", "y", start);
  ASSERT_EQ(one_at_a_time.BeginGuess("10.0.0.5", "y", start + 1s).count(), 0);
  EXPECT_EQ(one_at_a_time.BeginGuess("10.0.0.5", "y", start + 1s).count(), 1000);
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

  ServerProcess server(data, {"--login-delay", "1"});
  EXPECT_EQ(AnswerToHello(server.Port(), HelloOf("ivanova", "new password")), "(greeted)");
  EXPECT_NE(AnswerToHello(server.Port(), HelloOf("ivanova", "first password")), "(greeted)");
  std::this_thread::sleep_for(50ms);  // past the wait after a failure
  EXPECT_NE(AnswerToHello(server.Port(), HelloOf("petrov", "second password")), "(greeted)");
  std::this_thread::sleep_for(50ms);
  // The verbs work beside a running server, which sees the change at the next login.
  EXPECT_EQ(AdminVerb(data, "add sidorov --role operator", "third password\n").status, 0);
  EXPECT_EQ(AnswerToHello(server.Port(), HelloOf("sidorov", "third password")), "(greeted)");
}

}  // namespace
