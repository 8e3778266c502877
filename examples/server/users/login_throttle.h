// Slows down the guessing of passwords, and bounds what guessing costs the server.
//
// A failed login makes the next guess wait, both from its address and for its user name
// (whatever the address): 1 s after the first failure, twice as long after each further one,
// up to 30 s by default. The wait applies to the guesses, not to the answers: a failed login
// is answered at once, and a guess that comes before its wait is over is refused without its
// password being checked, so a client that does not wait for answers guesses no faster than
// one that does. While a guess from an address or for a name that has failed before is being
// checked, another one from there or for it is refused the same way.
//
// Across all addresses and names, at most `failures_per_minute` failed logins are checked a
// minute; beyond that, only an address from which a user logged in before may guess. Such an
// address is also not held back by the failures of its user's name elsewhere, so that guesses
// from other machines do not lock a user out of the one it works at.
//
// A success from an address forgets the failures of that address and of that name, and a
// quarter of an hour without failures forgets them too.
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <string>

namespace tvx::example {

struct LoginPolicy {
  std::chrono::milliseconds first_delay{1000};
  int failures_per_minute = 60;
};

class LoginThrottle {
 public:
  using Clock = std::chrono::steady_clock;

  explicit LoginThrottle(LoginPolicy policy = {}) : policy_(policy) {}

  // Whether a guess from the address for the name may be checked now: zero, and the guess is
  // counted as under way until Failed or Succeeded; otherwise how long it is to wait.
  std::chrono::milliseconds BeginGuess(const std::string& address, const std::string& name,
                                       Clock::time_point now = Clock::now());
  // The outcome of a guess that BeginGuess let through.
  void Failed(const std::string& address, const std::string& name,
              Clock::time_point now = Clock::now());
  void Succeeded(const std::string& address, const std::string& name);

  static constexpr std::chrono::milliseconds kLongestDelay{30000};
  static constexpr std::chrono::minutes kForgetAfter{15};
  // Addresses and names remembered at once; beyond this the longest quiet ones are forgotten.
  static constexpr std::size_t kMaxRecords = 10000;

 private:
  struct Record {
    int failures = 0;
    int under_way = 0;
    Clock::time_point last;
  };
  using Records = std::map<std::string, Record>;
  // How long a guess for this record is to wait; zero when it may go.
  std::chrono::milliseconds Wait(Records& records, const std::string& key,
                                 Clock::time_point now) const;
  static Record& Find(Records& records, const std::string& key, Clock::time_point now);
  static void Finish(Records& records, const std::string& key);

  LoginPolicy policy_;
  std::mutex mutex_;
  Records addresses_;
  Records names_;
  std::deque<Clock::time_point> recent_failures_;  // within the last minute
  std::set<std::string> known_addresses_;          // addresses that logged in before
};

}  // namespace tvx::example
