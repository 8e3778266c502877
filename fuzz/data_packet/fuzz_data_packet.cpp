// Feeds arbitrary bytes to the data packet reader. A rejected input must raise exactly one
// of the two packet errors; an accepted one must survive being written again unchanged.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "db/data_packet_reader.h"
#include "db/data_packet_writer.h"
#include "db/db_consts.h"
#include "rtl/exceptions.h"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_data_packet: %s\n", what);
  std::abort();
}

std::vector<tvx::ColumnValues> ReadAll(const tvx::DataPacketReader& reader) {
  return reader.ReadValues(std::vector<bool>(reader.Columns().size(), true));
}

tvx::DataPacketValue Cell(const tvx::ColumnValues& column, uint32_t row) {
  if (column.IsNull(row)) return std::nullopt;
  if (tvx::IsIntegerType(column.type)) return column.integers[row];
  return tvx::InstantToDateTime(column.instants[row]);
}

// Writes the decoded packet again and checks that it reads back the same.
void CheckRoundTrip(const tvx::DataPacketReader& reader,
                    const std::vector<tvx::ColumnValues>& values) {
  tvx::DataPacketWriter writer;
  writer.SetReadOnly(reader.ReadOnly()).SetDeletesAllowed(reader.DeletesAllowed());
  for (const tvx::PacketColumn& column : reader.Columns()) {
    writer.AddColumn(column.name, column.type, column.nullable);
  }
  std::vector<tvx::DataPacketValue> row(values.size());
  for (uint32_t r = 0; r < reader.RowCount(); ++r) {
    for (size_t c = 0; c < values.size(); ++c) row[c] = Cell(values[c], r);
    writer.AddRow(row);
  }
  const std::vector<uint8_t> again = writer.Encode();
  const tvx::DataPacketReader second(again);
  const std::vector<tvx::ColumnValues> second_values = ReadAll(second);
  if (second.RowCount() != reader.RowCount() || second.Columns().size() != values.size()) {
    Fail("round trip changed the shape");
  }
  for (size_t c = 0; c < values.size(); ++c) {
    if (second_values[c].integers != values[c].integers ||
        second_values[c].instants != values[c].instants) {
      Fail("round trip changed a value");
    }
    for (uint32_t r = 0; r < reader.RowCount(); ++r) {
      if (second_values[c].IsNull(r) != values[c].IsNull(r)) Fail("round trip changed a null");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  try {
    const tvx::DataPacketReader reader(bytes);
    const std::vector<tvx::ColumnValues> values = ReadAll(reader);
    // Large accepted packets are not written again, to keep the run fast.
    if (reader.RowCount() <= 4096) CheckRoundTrip(reader, values);
  } catch (const tvx::EDatabaseError& e) {
    if (std::strcmp(e.what(), tvx::SInvalidDataPacket) != 0 &&
        std::strcmp(e.what(), tvx::SMissingDataPacket) != 0) {
      Fail(e.what());
    }
  } catch (...) {
    Fail("unexpected exception");
  }
  return 0;
}
