// Floods of logins as an attacker sends them: many addresses at once, a client that does not
// wait for answers, one name from many addresses, many names from many addresses, one user
// holding every place. What each one costs the server (threads, passwords checked) and what a
// real user still gets.
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "connection/app_server_client.h"
#include "examples/server/server_fixture.h"
#include "protocol/frame.h"
#include "server/common/request_error.h"

namespace {

using namespace tvx::example;
using namespace tvx::example::test;
using namespace std::chrono_literals;

const GetRecordsRequest kHistory{"dspQuery", -1, 1, "SELECT * FROM OK_EXPORT_HISTORY",
                                 WireValue::Null()};

std::vector<std::uint8_t> HelloFrame(const std::string& user, const std::string& password) {
  return EncodeFrame(FrameType::kHello, Encode(Hello{kProtocolVersion, "flood", user, password}));
}

int Count(const std::string& log, const std::string& what) {
  int n = 0;
  for (auto at = log.find(what); at != std::string::npos; at = log.find(what, at + 1)) ++n;
  return n;
}

ClientOptions Options(std::uint16_t port, const std::string& user, const std::string& password) {
  ClientOptions options;
  options.port = port;
  options.user = user;
  options.password = password;
  options.connect_timeout = 10s;
  options.call_timeout = 20s;
  return options;
}

AppServerClient Client(std::uint16_t port, const std::string& user, const std::string& password) {
  return AppServerClient(Options(port, user, password));
}

// Each flood: guesses sent all at once without waiting for answers, from `addresses`
// loopback addresses in turn, for `names` user names in turn; at most `checked` of them may
// have their password checked, and the server's threads stay within twice its places.
TEST(LoginFloods, GuessesCostBoundedChecksAndThreadsAndARealLoginGetsIn) {
  struct Case {
    const char* what;
    int guesses;
    int addresses;
    int names;
    int checked;  // at most
  };
  // Four checks may be under way at once before the first failure is counted.
  const Case cases[] = {
      {"200 addresses, one name", 200, 200, 1, 4},
      {"one address that does not wait", 30, 1, 1, 4},
      {"one address, many names", 30, 1, 30, 4},
      {"200 addresses, 200 names", 200, 200, 200, 20 + 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    ServerProcess server(folder.Path() / "data",
                         {"--empty", "--max-clients", "32", "--login-failures-per-minute", "20"});
    // The real user logs in once first: its address is one the server has seen succeed.
    {
      AppServerClient before = Client(server.Port(), kTestUser, kTestPassword);
      before.Connect();
    }
    const long threads_before = server.Status("Threads");
    std::atomic<bool> flooding{true};
    std::atomic<long> most_threads{0};
    std::thread watcher([&] {
      while (flooding.load()) {
        most_threads = std::max(most_threads.load(), server.Status("Threads"));
        std::this_thread::sleep_for(2ms);
      }
    });
    std::vector<std::unique_ptr<SilentConnection>> connections;
    for (int i = 0; i < c.guesses; ++i) {
      const int a = i % c.addresses;
      const std::string address =
          "127.0." + std::to_string(10 + a / 250) + "." + std::to_string(1 + a % 250);
      try {
        connections.push_back(std::make_unique<SilentConnection>(server.Port(), address));
        connections.back()->Say(
            HelloFrame(c.names == 1 ? kTestUser : "user" + std::to_string(i % c.names),
                       "guess " + std::to_string(i)));
      } catch (const std::exception&) {
        // Refused at once as busy: that costs the server nothing more.
      }
    }
    // A real login in the middle of the flood gets in and is served; a client that is told
    // the server is busy, or loses its place to a newer connection, tries again.
    std::string last_failure;
    EXPECT_TRUE(Eventually([&] {
      AppServerClient real = Client(server.Port(), kTestUser, kTestPassword);
      try {
        real.Connect();
        return real.GetRecords(kHistory).records_out == 0;
      } catch (const std::exception& error) {
        last_failure = error.what();
        return false;
      }
    })) << last_failure;
    // Every guess is answered or its place given up: nothing is left waiting.
    int closed = 0;
    for (auto& connection : connections) closed += connection->ClosedByServer(10s) ? 1 : 0;
    flooding = false;
    watcher.join();
    EXPECT_EQ(closed, static_cast<int>(connections.size()));
    EXPECT_LE(Count(server.Log(), "login failed: "), c.checked);
    EXPECT_LE(most_threads.load(), threads_before + 2L * 32) << "threads: " << most_threads.load();
  }
}

// One user cannot hold every place: beyond its own limit its logins are refused as busy,
// while another user still gets in.
TEST(LoginFloods, OneUserHoldsABoundedNumberOfPlaces) {
  ScratchFolder folder;
  AddUser(folder.Path() / "data", "clerk", "clerk's password", Role::kOperator);
  struct Case {
    int per_user;
    int idle_logins;
  };
  const Case cases[] = {{4, 6}, {8, 16}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.per_user);
    ServerProcess server(folder.Path() / "data",
                         {"--max-clients", "16", "--max-per-user", std::to_string(c.per_user)});
    std::vector<std::unique_ptr<AppServerClient>> idle;
    int held = 0;
    std::string refusal;
    for (int i = 0; i < c.idle_logins; ++i) {
      idle.push_back(
          std::make_unique<AppServerClient>(Options(server.Port(), "clerk", "clerk's password")));
      try {
        idle.back()->Connect();
        ++held;
      } catch (const ConnectionError& error) {
        refusal = error.Message();
      }
    }
    EXPECT_EQ(held, c.per_user);
    EXPECT_NE(refusal.find("у этого пользователя открыто наибольшее число соединений (" +
                           std::to_string(c.per_user) + ")"),
              std::string::npos)
        << refusal;
    AppServerClient admin = Client(server.Port(), kTestUser, kTestPassword);
    admin.Connect();
    EXPECT_EQ(admin.GetRecords(kHistory).records_out, 0);
    // A place given back is free for the same user again.
    idle.clear();
    EXPECT_TRUE(Eventually([&] {
      AppServerClient again = Client(server.Port(), "clerk", "clerk's password");
      try {
        again.Connect();
        return true;
      } catch (const ConnectionError&) {
        return false;
      }
    }));
  }
}

}  // namespace
