#include "support/history_table.h"

namespace tvx::test {

std::vector<HistoryRecord> DailyRecords(int count) {
  std::vector<HistoryRecord> records;
  const TDateTime first = EncodeDate(2012, 1, 1);
  for (int i = 0; i < count; ++i) {
    const TDateTime day = first + i;
    records.push_back({i + 1, day, day - 7, day - 1});
  }
  return records;
}

namespace {

// ID (AutoInc), EXPORT_DATE (DateTime), EXPORT_FROM and EXPORT_TO (of the range's type), and
// the rows.
DataPacketWriter& AddHistory(DataPacketWriter& table, bool nullable_id, TFieldType range,
                             std::span<const HistoryRow> rows) {
  table.AddColumn("ID", ftAutoInc, nullable_id)
      .AddColumn("EXPORT_DATE", ftDateTime)
      .AddColumn("EXPORT_FROM", range)
      .AddColumn("EXPORT_TO", range);
  for (const HistoryRow& row : rows) {
    table.AddRow({row.id, row.export_date, row.export_from, row.export_to});
  }
  return table;
}

}  // namespace

DataPacketWriter HistoryTable(std::span<const HistoryRow> rows) {
  DataPacketWriter table;
  return AddHistory(table, /*nullable_id=*/false, ftDate, rows);
}

DataPacketWriter HistoryTableWithTimesOfDay(std::span<const HistoryRow> rows,
                                            PacketPermissions permissions) {
  DataPacketWriter table;
  table.SetReadOnly(permissions.read_only).SetDeletesAllowed(permissions.deletes_allowed);
  return AddHistory(table, /*nullable_id=*/true, ftDateTime, rows);
}

DataPacketWriter HistoryTableWithTimesOfDay(std::span<const HistoryRecord> records,
                                            PacketPermissions permissions) {
  std::vector<HistoryRow> rows;
  rows.reserve(records.size());
  for (const HistoryRecord& r : records) rows.push_back({r.id, r.date, r.from, r.to});
  return HistoryTableWithTimesOfDay(rows, permissions);
}

std::vector<uint8_t> MalformedPacket() {
  // A valid packet cut short: its header announces more than follows.
  std::vector<uint8_t> bytes = HistoryTable().Encode();
  bytes.resize(bytes.size() / 2);
  return bytes;
}

}  // namespace tvx::test
