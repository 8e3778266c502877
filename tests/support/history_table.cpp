#include "support/history_table.h"

namespace tvx::test {

DataPacketWriter HistoryTable(std::span<const HistoryRow> rows) {
  DataPacketWriter table;
  table.AddColumn("ID", ftAutoInc, /*nullable=*/false)
      .AddColumn("EXPORT_DATE", ftDateTime)
      .AddColumn("EXPORT_FROM", ftDate)
      .AddColumn("EXPORT_TO", ftDate);
  for (const HistoryRow& row : rows) {
    table.AddRow({row.id, row.export_date, row.export_from, row.export_to});
  }
  return table;
}

std::vector<uint8_t> MalformedPacket() {
  // A valid packet cut short: its header announces more than follows.
  std::vector<uint8_t> bytes = HistoryTable().Encode();
  bytes.resize(bytes.size() / 2);
  return bytes;
}

}  // namespace tvx::test
