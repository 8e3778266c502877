// Reads a data packet. Every length and count is checked against the bytes present before
// anything is read or allocated; a malformed packet raises EDatabaseError
// "Invalid data packet", an empty one "Missing data provider or data packet".
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "db/column_values.h"
#include "db/field_type.h"

namespace tvx {

struct PacketColumn {
  std::string name;
  TFieldType type = ftUnknown;
  bool nullable = false;
};

class DataPacketReader {
 public:
  // Reads and checks the header: magic, version, flags, columns and row count, and that the
  // packet is exactly as long as they announce. The bytes must outlive the reader.
  explicit DataPacketReader(std::span<const uint8_t> packet);

  bool ReadOnly() const;
  bool DeletesAllowed() const;
  const std::vector<PacketColumn>& Columns() const { return columns_; }
  uint32_t RowCount() const { return row_count_; }
  // The position of the column with that name (case of A..Z ignored), or -1.
  int FindColumn(std::string_view name) const;

  // Checks the values of every column and returns those of the columns marked in `keep`
  // (one entry per column; the others come back empty). Raises "Invalid data packet" for a
  // value out of its type's range or a stray bit after the last row of a null bitmap.
  std::vector<ColumnValues> ReadValues(const std::vector<bool>& keep) const;

 private:
  void ReadColumn(size_t index, ColumnValues* out) const;

  std::span<const uint8_t> packet_;
  uint16_t flags_ = 0;
  std::vector<PacketColumn> columns_;
  std::vector<size_t> column_offsets_;  // where each column's null bitmap or values start
  uint32_t row_count_ = 0;
};

}  // namespace tvx
