#include "server/users/users.h"

#include <sodium.h>

#include <mutex>
#include <stdexcept>

#include "rtl/exceptions.h"
#include "rtl/text.h"

namespace tvx::example {

namespace {

constexpr std::size_t kMaxNameBytes = 64;
constexpr std::size_t kMinPasswordBytes = 8;
constexpr std::size_t kMaxPasswordBytes = 1024;

void StartSodium() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (sodium_init() < 0) throw Exception("libsodium не запускается");
  });
}

std::string Hash(std::string_view password) {
  StartSodium();
  char hash[crypto_pwhash_STRBYTES];
  if (crypto_pwhash_str(hash, password.data(), password.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                        crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0) {
    throw Exception("не хватило памяти для хеша пароля");
  }
  return hash;
}

// A hash that no password given at a login is checked against, for unknown names.
const std::string& StandInHash() {
  static const std::string hash = [] {
    unsigned char random[32];
    StartSodium();
    randombytes_buf(random, sizeof random);
    return Hash(std::string_view(reinterpret_cast<const char*>(random), sizeof random));
  }();
  return hash;
}

bool IsWellFormedUtf8(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t start = pos;
    const char32_t c = ReadUtf8(text, pos);
    if (c == ReplacementCharacter &&
        text.substr(start, pos - start) != std::string_view("\xEF\xBF\xBD")) {
      return false;
    }
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029) return false;
  }
  return true;
}

}  // namespace

void CheckUserName(std::string_view name) {
  if (name.empty() || name.size() > kMaxNameBytes) {
    throw Exception("имя пользователя должно занимать от 1 до 64 байт");
  }
  if (!IsWellFormedUtf8(name)) {
    throw Exception("имя пользователя содержит управляющие символы или не является UTF-8");
  }
  if (name.front() == ' ' || name.back() == ' ') {
    throw Exception("имя пользователя не может начинаться или кончаться пробелом");
  }
}

void CheckPassword(std::string_view password) {
  if (password.size() < kMinPasswordBytes || password.size() > kMaxPasswordBytes) {
    throw Exception("пароль должен занимать от 8 до 1024 байт");
  }
}

void SetUser(Database& db, const std::string& name, std::string_view password, Role role) {
  CheckUserName(name);
  CheckPassword(password);
  Statement set = db.Prepare(
      "INSERT INTO USERS (NAME, PASSWORD_HASH, ROLE) VALUES (?1, ?2, ?3) "
      "ON CONFLICT (NAME) DO UPDATE SET PASSWORD_HASH = ?2, ROLE = ?3");
  set.Bind(1, name).Bind(2, Hash(password)).Bind(3, RoleName(role));
  set.Step();
}

bool RemoveUser(Database& db, const std::string& name) {
  Statement remove = db.Prepare("DELETE FROM USERS WHERE NAME = ?");
  remove.Bind(1, name);
  remove.Step();
  Statement changes = db.Prepare("SELECT changes()");
  changes.Step();
  return changes.Int(0) > 0;
}

std::vector<User> ListUsers(Database& db) {
  std::vector<User> users;
  Statement list = db.Prepare("SELECT NAME, ROLE FROM USERS ORDER BY NAME");
  while (list.Step()) {
    users.push_back({list.Text(0), ParseRole(list.Text(1)).value_or(Role::kOperator)});
  }
  return users;
}

UserStore::UserStore(std::string database_path) : database_path_(std::move(database_path)) {
  StandInHash();
}

std::optional<User> UserStore::Authenticate(std::string_view name, std::string_view password) {
  std::optional<User> found;
  std::string hash;
  if (!name.empty() && name.size() <= kMaxNameBytes && password.size() <= kMaxPasswordBytes) {
    Database db = Database::OpenForReading(database_path_);
    Statement user = db.Prepare("SELECT PASSWORD_HASH, ROLE FROM USERS WHERE NAME = ?");
    user.Bind(1, name);
    if (user.Step()) {
      hash = user.Text(0);
      const std::optional<Role> role = ParseRole(user.Text(1));
      if (role) found = User{std::string(name), *role};
    }
  }
  const std::string& checked = found ? hash : StandInHash();
  hashing_.acquire();
  const int verdict = crypto_pwhash_str_verify(checked.c_str(), password.data(), password.size());
  hashing_.release();
  if (verdict != 0) return std::nullopt;
  return found;
}

}  // namespace tvx::example
