// What each role of the server's users may do. The provider query reads only the tables and
// columns of the user's role, and only roles that may export call the export methods:
//
//   role      reads                                                      exports
//   operator  OK_EXPORT_HISTORY (the module's history)                   no
//   export    OK_EXPORT_HISTORY; STAFF, VACATIONS, EXTRA_PAY without the   yes
//             pay columns (STAFF.SALARY, EXTRA_PAY.AMOUNT)
//   admin     OK_EXPORT_HISTORY, STAFF, VACATIONS, EXTRA_PAY, pay too      yes
//
// No role reads the users themselves, nor SQLite's own tables.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tvx::example {

enum class Role { kOperator, kExport, kAdmin };

// "operator", "export", "admin".
const char* RoleName(Role role);
std::optional<Role> ParseRole(std::string_view name);

// Whether the role may read the column of the table; an empty column stands for the table
// itself (a query that counts its rows, say). A name that is no table of the database is a
// common table expression's: its rows come from reads of their own, each asked about, so it
// may be read as a whole. Names are compared without regard to case.
bool MayRead(Role role, std::string_view table, std::string_view column);
// The same for a table known to be stored in the database: any other name is refused.
bool MayReadStored(Role role, std::string_view table, std::string_view column);
bool MayExport(Role role);

// A user that has proved who it is.
struct User {
  std::string name;
  Role role = Role::kOperator;
};

}  // namespace tvx::example
