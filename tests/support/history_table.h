// Export-history tables as data packets: for the test server to send, as the application
// server keeps them, and for record sets and grids to open, with times of day in every date.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

#include "db/data_packet_writer.h"
#include "rtl/datetime.h"

namespace tvx::test {

// One row of the history: ID, EXPORT_DATE, EXPORT_FROM, EXPORT_TO, any of them null.
struct HistoryRow {
  DataPacketValue id;
  DataPacketValue export_date;
  DataPacketValue export_from;
  DataPacketValue export_to;
};

// One row of the history with every value present, as date-times a test can compute with.
struct HistoryRecord {
  int id;
  TDateTime date;
  TDateTime from;
  TDateTime to;
};

// `count` records, one a day from 1 January 2012 at midnight (ID = position), each exporting
// the week before it.
std::vector<HistoryRecord> DailyRecords(int count);

// The history table as the application server keeps it: ID (AutoInc, never null),
// EXPORT_DATE (DateTime), EXPORT_FROM and EXPORT_TO (Date), with these rows.
DataPacketWriter HistoryTable(std::span<const HistoryRow> rows = {});
inline DataPacketWriter HistoryTable(std::initializer_list<HistoryRow> rows) {
  return HistoryTable(std::span<const HistoryRow>(rows.begin(), rows.size()));
}

// What a packet lets its reader do with the rows.
struct PacketPermissions {
  bool read_only = false;
  bool deletes_allowed = true;
};

// The history table with a time of day in every date: ID (AutoInc, nulls allowed) and
// EXPORT_DATE, EXPORT_FROM and EXPORT_TO (DateTime), with these rows.
DataPacketWriter HistoryTableWithTimesOfDay(std::span<const HistoryRow> rows,
                                            PacketPermissions permissions = {});
DataPacketWriter HistoryTableWithTimesOfDay(std::span<const HistoryRecord> records,
                                            PacketPermissions permissions = {});
inline DataPacketWriter HistoryTableWithTimesOfDay(std::initializer_list<HistoryRow> rows,
                                                   PacketPermissions permissions = {}) {
  return HistoryTableWithTimesOfDay(std::span<const HistoryRow>(rows.begin(), rows.size()),
                                    permissions);
}

// Bytes that no data-packet reader accepts.
std::vector<uint8_t> MalformedPacket();

}  // namespace tvx::test
