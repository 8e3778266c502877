// The export file for the accounting system: one UTF-8 XML document per export, laid out as
// docs/export-file.md describes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tvx::example {

struct StaffRecord {
  std::int64_t id = 0;
  std::string personnel_number;
  std::string last_name;
  std::string first_name;
  std::optional<std::string> middle_name;
  std::string position;
  std::string department;
  std::string hired;                     // YYYY-MM-DD
  std::optional<std::string> dismissed;  // YYYY-MM-DD
  std::int64_t salary = 0;               // kopecks
  std::string changed;                   // YYYY-MM-DD HH:MM:SS
};

struct VacationRecord {
  std::int64_t id = 0;
  std::int64_t staff_id = 0;
  std::string personnel_number;
  std::string kind;
  std::string start;  // YYYY-MM-DD
  std::string end;    // YYYY-MM-DD
  std::string changed;
};

struct ExtraPayRecord {
  std::int64_t id = 0;
  std::int64_t staff_id = 0;
  std::string personnel_number;
  std::string kind;
  std::string date;         // YYYY-MM-DD
  std::int64_t amount = 0;  // kopecks
  std::string changed;
};

struct ExportContent {
  std::int64_t id = 0;  // the export's row in OK_EXPORT_HISTORY
  std::string created;  // YYYY-MM-DD HH:MM:SS
  bool full = false;    // all data, or the changes of a range
  std::string from;     // YYYY-MM-DD
  std::string to;       // YYYY-MM-DD
  std::vector<StaffRecord> staff;
  std::vector<VacationRecord> vacations;
  std::vector<ExtraPayRecord> extra_pay;
};

std::string WriteExportXml(const ExportContent& content);

// "export-000042.xml": the file of the export with that history row.
std::string ExportFileName(std::int64_t id);

}  // namespace tvx::example
