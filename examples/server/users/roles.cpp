#include "server/users/roles.h"

#include <array>

namespace tvx::example {

namespace {

bool Same(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

struct PayColumn {
  std::string_view table;
  std::string_view column;
};
constexpr std::array<PayColumn, 2> kPayColumns = {{{"STAFF", "SALARY"}, {"EXTRA_PAY", "AMOUNT"}}};
constexpr std::array<std::string_view, 3> kPersonnelTables = {"STAFF", "VACATIONS", "EXTRA_PAY"};

bool IsPay(std::string_view table, std::string_view column) {
  for (const PayColumn& pay : kPayColumns) {
    if (Same(pay.table, table) && Same(pay.column, column)) return true;
  }
  return false;
}

bool IsPersonnel(std::string_view table) {
  for (std::string_view personnel : kPersonnelTables) {
    if (Same(personnel, table)) return true;
  }
  return false;
}

// The database's own tables. Any other name that SQLite asks about is a common table
// expression's, whose rows come from reads that are asked about one by one.
bool IsDatabaseTable(std::string_view table) {
  if (table.size() >= 7 && Same(table.substr(0, 7), "SQLITE_")) return true;
  for (std::string_view name :
       {"STAFF", "VACATIONS", "EXTRA_PAY", "OK_EXPORT_HISTORY", "USERS", "EXPORT_FILES"}) {
    if (Same(name, table)) return true;
  }
  return false;
}

}  // namespace

const char* RoleName(Role role) {
  switch (role) {
    case Role::kOperator:
      return "operator";
    case Role::kExport:
      return "export";
    case Role::kAdmin:
      return "admin";
  }
  return "operator";
}

std::optional<Role> ParseRole(std::string_view name) {
  for (Role role : {Role::kOperator, Role::kExport, Role::kAdmin}) {
    if (name == RoleName(role)) return role;
  }
  return std::nullopt;
}

bool MayRead(Role role, std::string_view table, std::string_view column) {
  if (column.empty() && !IsDatabaseTable(table)) return true;
  return MayReadStored(role, table, column);
}

bool MayReadStored(Role role, std::string_view table, std::string_view column) {
  if (Same(table, "OK_EXPORT_HISTORY")) return true;
  if (!IsPersonnel(table)) return false;
  switch (role) {
    case Role::kOperator:
      return false;
    case Role::kExport:
      return !IsPay(table, column);
    case Role::kAdmin:
      return true;
  }
  return false;
}

bool MayExport(Role role) { return role == Role::kExport || role == Role::kAdmin; }

}  // namespace tvx::example
