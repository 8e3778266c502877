#include "host/server_data.h"

#include <string>

#include "db/data_packet_reader.h"
#include "db/data_packet_variant.h"
#include "db/instant.h"
#include "rtl/exceptions.h"
#include "server_client/provider_query.h"

namespace tvx::host {

namespace {

constexpr char kProvider[] = "dspQuery";

// The rows of one query, every column read.
struct QueryResult {
  std::vector<PacketColumn> columns;
  std::uint32_t rows = 0;
  std::vector<ColumnValues> values;

  const ColumnValues& Column(const char* name) const {
    for (std::size_t i = 0; i < columns.size(); ++i) {
      if (columns[i].name == name) return values[i];
    }
    throw EDatabaseError(std::string("Field '") + name + "' not found");
  }
};

QueryResult Run(TCustomRemoteServer& connection, const char* sql) {
  const OleVariant reply = FetchAllRecords(connection, kProvider, sql);
  const DataPacketBytes bytes(*reply);
  const DataPacketReader reader(bytes.Bytes());
  QueryResult result;
  result.columns = reader.Columns();
  result.rows = reader.RowCount();
  result.values = reader.ReadValues(std::vector<bool>(result.columns.size(), true));
  return result;
}

double DateAt(const ColumnValues& column, std::uint32_t row) {
  return column.IsNull(row) ? 0 : InstantToDateTime(column.instants[row]);
}

}  // namespace

std::vector<StaffRow> ReadStaff(TCustomRemoteServer& connection) {
  const QueryResult result =
      Run(connection, "SELECT ID, HIRED, DISMISSED, SALARY, CHANGED_AT FROM STAFF ORDER BY ID");
  const ColumnValues& id = result.Column("ID");
  const ColumnValues& hired = result.Column("HIRED");
  const ColumnValues& dismissed = result.Column("DISMISSED");
  const ColumnValues& salary = result.Column("SALARY");
  const ColumnValues& changed = result.Column("CHANGED_AT");
  std::vector<StaffRow> rows(result.rows);
  for (std::uint32_t r = 0; r < result.rows; ++r) {
    rows[r].id = id.integers[r];
    rows[r].hired = DateAt(hired, r);
    rows[r].dismissed = DateAt(dismissed, r);
    rows[r].salary_kopecks = salary.integers[r];
    rows[r].changed = DateAt(changed, r);
  }
  return rows;
}

HistorySummary ReadHistorySummary(TCustomRemoteServer& connection) {
  const QueryResult result = Run(connection, "SELECT ID, EXPORT_DATE FROM OK_EXPORT_HISTORY");
  const ColumnValues& date = result.Column("EXPORT_DATE");
  HistorySummary summary;
  summary.exports = result.rows;
  for (std::uint32_t r = 0; r < result.rows; ++r) {
    if (!date.IsNull(r)) summary.latest = std::max(summary.latest, DateAt(date, r));
  }
  return summary;
}

}  // namespace tvx::host
