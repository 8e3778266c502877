// The server's users, kept in its database (table USERS): a name, a role, and a salted hash
// of the password made by libsodium's crypto_pwhash (Argon2id, at its interactive cost: some
// 64 MiB and a tenth of a second a hash). The password itself is never stored.
#pragma once

#include <optional>
#include <semaphore>
#include <string>
#include <string_view>
#include <vector>

#include "server/store/sqlite.h"
#include "server/users/roles.h"

namespace tvx::example {

// Names: 1..64 bytes of UTF-8 without control characters or blanks at either end.
// Passwords: 8..1024 bytes. Raise Exception with the reason otherwise.
void CheckUserName(std::string_view name);
void CheckPassword(std::string_view password);

// Adds the user, or gives an existing one this password and role.
void SetUser(Database& db, const std::string& name, std::string_view password, Role role);
// False when there was no such user.
bool RemoveUser(Database& db, const std::string& name);
std::vector<User> ListUsers(Database& db);

// Proves users against the database, from several threads at once. At most two hashes are
// computed at a time, so that a crowd of logins cannot take the server's memory.
class UserStore {
 public:
  explicit UserStore(std::string database_path);

  // The user whose name and password these are; nullopt otherwise. An unknown name costs as
  // much time as a wrong password, so that the time does not tell which names exist.
  std::optional<User> Authenticate(std::string_view name, std::string_view password);

 private:
  std::string database_path_;
  std::counting_semaphore<2> hashing_{2};
};

}  // namespace tvx::example
