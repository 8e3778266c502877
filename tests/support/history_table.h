// Export-history tables for the test server to send, as the application server keeps them.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "db/data_packet_writer.h"

namespace tvx::test {

struct HistoryRow {
  int32_t id;
  DataPacketValue export_date;
  DataPacketValue export_from;
  DataPacketValue export_to;
};

// The history table: ID (AutoInc, never null), EXPORT_DATE (DateTime), EXPORT_FROM and
// EXPORT_TO (Date), with these rows.
DataPacketWriter HistoryTable(std::span<const HistoryRow> rows = {});

// Bytes that no data-packet reader accepts.
std::vector<uint8_t> MalformedPacket();

}  // namespace tvx::test
