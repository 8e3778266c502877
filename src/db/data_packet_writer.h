// Builds a data packet: declare the columns, add the rows, encode. Application servers and
// tests use it to produce the bytes that a record set opens.
//
//   DataPacketWriter writer;
//   writer.AddColumn("ID", ftAutoInc, /*nullable=*/false)
//       .AddColumn("EXPORT_DATE", ftDateTime);
//   writer.AddRow({1, 45291.5});
//   writer.AddRow({2, std::nullopt});
//   std::vector<uint8_t> bytes = writer.Encode();
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "db/field_type.h"

namespace tvx {

// One cell handed to the writer: null, an integer, or a TDateTime (days since
// 30 December 1899, fraction = time of day). An integer given to a temporal column counts
// as that many days.
class DataPacketValue {
 public:
  DataPacketValue() = default;
  DataPacketValue(std::nullopt_t) {}  // NOLINT: implicit so that rows read naturally
  DataPacketValue(int32_t value) : kind_(Kind::kInteger), integer_(value) {}            // NOLINT
  DataPacketValue(double date_time) : kind_(Kind::kDateTime), date_time_(date_time) {}  // NOLINT

  bool IsNull() const { return kind_ == Kind::kNull; }
  bool IsInteger() const { return kind_ == Kind::kInteger; }
  bool IsDateTime() const { return kind_ == Kind::kDateTime; }
  int32_t Integer() const { return integer_; }
  double DateTime() const { return date_time_; }

 private:
  enum class Kind : uint8_t { kNull, kInteger, kDateTime };
  Kind kind_ = Kind::kNull;
  int32_t integer_ = 0;
  double date_time_ = 0;
};

// Every misuse raises EDatabaseError naming what is wrong; the writer is unchanged by a
// call that raised.
class DataPacketWriter {
 public:
  DataPacketWriter& SetReadOnly(bool read_only);
  DataPacketWriter& SetDeletesAllowed(bool allowed);

  // Columns come before the first row. A name is 1..255 bytes of UTF-8, unique without
  // regard to the case of A..Z.
  DataPacketWriter& AddColumn(std::string name, TFieldType type, bool nullable = true);

  // One value per column, in column order. A null needs a nullable column; a SmallInt
  // takes -32768..32767; an integer column refuses a TDateTime; a Date column takes whole
  // days, a Time column times of day (0 <= value < 1), every temporal value lies in
  // 1 January 0001 .. 31 December 9999 after rounding to the millisecond.
  DataPacketWriter& AddRow(std::initializer_list<DataPacketValue> values);
  DataPacketWriter& AddRow(std::span<const DataPacketValue> values);

  size_t ColumnCount() const { return columns_.size(); }
  size_t RowCount() const { return row_count_; }

  std::vector<uint8_t> Encode() const;

 private:
  struct Column {
    std::string name;
    TFieldType type;
    bool nullable;
    // Wire values: integers, days, milliseconds of the day or instants by type.
    std::vector<int64_t> values;
    std::vector<bool> nulls;
  };
  int64_t WireValue(const Column& column, const DataPacketValue& value) const;

  bool read_only_ = false;
  bool deletes_allowed_ = true;
  std::vector<Column> columns_;
  size_t row_count_ = 0;
};

}  // namespace tvx
