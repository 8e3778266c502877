#include "server/store/schema.h"

#include <string>

#include "rtl/exceptions.h"

namespace tvx::example {

namespace {

// Days and moments are text in one layout each, so that they compare in time order.
#define TVX_DAY "'[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]'"
#define TVX_MOMENT "'[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]'"

constexpr const char kSchema[] = R"sql(
CREATE TABLE STAFF (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  PERSONNEL_NUMBER TEXT NOT NULL UNIQUE,
  LAST_NAME TEXT NOT NULL,
  FIRST_NAME TEXT NOT NULL,
  MIDDLE_NAME TEXT,
  POSITION TEXT NOT NULL,
  DEPARTMENT TEXT NOT NULL,
  HIRED DATE NOT NULL CHECK (HIRED GLOB )sql" TVX_DAY R"sql(),
  DISMISSED DATE CHECK (DISMISSED GLOB )sql" TVX_DAY R"sql(),
  SALARY INTEGER NOT NULL CHECK (SALARY >= 0),
  CHANGED_AT DATETIME NOT NULL CHECK (CHANGED_AT GLOB )sql" TVX_MOMENT R"sql()
);
CREATE TABLE VACATIONS (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  STAFF_ID INTEGER NOT NULL REFERENCES STAFF(ID),
  KIND TEXT NOT NULL,
  START_DATE DATE NOT NULL CHECK (START_DATE GLOB )sql" TVX_DAY R"sql(),
  END_DATE DATE NOT NULL CHECK (END_DATE GLOB )sql" TVX_DAY R"sql(),
  CHANGED_AT DATETIME NOT NULL CHECK (CHANGED_AT GLOB )sql" TVX_MOMENT R"sql(),
  CHECK (START_DATE <= END_DATE)
);
CREATE TABLE EXTRA_PAY (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  STAFF_ID INTEGER NOT NULL REFERENCES STAFF(ID),
  KIND TEXT NOT NULL,
  PAY_DATE DATE NOT NULL CHECK (PAY_DATE GLOB )sql" TVX_DAY R"sql(),
  AMOUNT INTEGER NOT NULL CHECK (AMOUNT >= 0),
  CHANGED_AT DATETIME NOT NULL CHECK (CHANGED_AT GLOB )sql" TVX_MOMENT R"sql()
);
CREATE TABLE OK_EXPORT_HISTORY (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  EXPORT_DATE DATETIME NOT NULL CHECK (EXPORT_DATE GLOB )sql" TVX_MOMENT R"sql(),
  EXPORT_FROM DATETIME CHECK (EXPORT_FROM GLOB )sql" TVX_MOMENT R"sql(),
  EXPORT_TO DATETIME CHECK (EXPORT_TO GLOB )sql" TVX_MOMENT R"sql()
);
CREATE TABLE USERS (
  NAME TEXT PRIMARY KEY,
  PASSWORD_HASH TEXT NOT NULL,
  ROLE TEXT NOT NULL CHECK (ROLE IN ('operator', 'export', 'admin'))
);
CREATE TABLE EXPORT_FILES (
  HISTORY_ID INTEGER PRIMARY KEY REFERENCES OK_EXPORT_HISTORY(ID),
  FILE_NAME TEXT NOT NULL
);
CREATE INDEX STAFF_CHANGED_AT ON STAFF (CHANGED_AT);
CREATE INDEX VACATIONS_CHANGED_AT ON VACATIONS (CHANGED_AT);
CREATE INDEX EXTRA_PAY_CHANGED_AT ON EXTRA_PAY (CHANGED_AT);
)sql";

#undef TVX_DAY
#undef TVX_MOMENT

}  // namespace

void CreateSchema(Database& db) {
  Transaction transaction(db);
  db.Execute(kSchema);
  db.Execute(("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str());
  transaction.Commit();
}

void UpgradeSchema(Database& db) {
  Transaction transaction(db);
  Statement version = db.Prepare("PRAGMA user_version");
  version.Step();
  const std::int64_t found = version.Int(0);
  version = Statement();
  if (found < 1 || found >= kSchemaVersion) return;
  if (found < 2) {
    db.Execute(
        "CREATE TABLE USERS (NAME TEXT PRIMARY KEY, PASSWORD_HASH TEXT NOT NULL, ROLE TEXT NOT "
        "NULL CHECK (ROLE IN ('operator', 'export', 'admin')))");
  }
  db.Execute(
      "CREATE TABLE EXPORT_FILES (HISTORY_ID INTEGER PRIMARY KEY REFERENCES "
      "OK_EXPORT_HISTORY(ID), FILE_NAME TEXT NOT NULL)");
  db.Execute(("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str());
  transaction.Commit();
}

void CheckSchema(Database& db) {
  Statement version = db.Prepare("PRAGMA user_version");
  version.Step();
  if (version.Int(0) != kSchemaVersion) {
    throw EDatabaseError("база данных не этого сервера (версия схемы " +
                         std::to_string(version.Int(0)) + ", ожидается " +
                         std::to_string(kSchemaVersion) + ")");
  }
}

}  // namespace tvx::example
