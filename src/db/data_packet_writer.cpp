#include "db/data_packet_writer.h"

#include <cstring>

#include "db/data_packet_format.h"
#include "db/field_names.h"
#include "db/instant.h"
#include "rtl/exceptions.h"

namespace tvx {

using namespace data_packet;

namespace {

[[noreturn]] void Fail(const std::string& message) { throw EDatabaseError(message); }

// Little-endian, the low `bytes` bytes of `value`.
void PutLittleEndian(uint8_t* out, uint64_t value, size_t bytes) {
  for (size_t i = 0; i < bytes; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

DataPacketWriter& DataPacketWriter::SetReadOnly(bool read_only) {
  read_only_ = read_only;
  return *this;
}

DataPacketWriter& DataPacketWriter::SetDeletesAllowed(bool allowed) {
  deletes_allowed_ = allowed;
  return *this;
}

DataPacketWriter& DataPacketWriter::AddColumn(std::string name, TFieldType type, bool nullable) {
  if (row_count_ != 0) Fail("Columns must be added before rows");
  if (columns_.size() >= kMaxColumns) Fail("Too many columns");
  if (!IsValidColumnName(name)) Fail("Invalid column name '" + name + "'");
  if (ValueBytes(type) == 0) Fail("Invalid type for column '" + name + "'");
  for (const Column& column : columns_) {
    if (SameFieldName(column.name, name)) Fail("Duplicate column name '" + name + "'");
  }
  columns_.push_back(Column{std::move(name), type, nullable, {}, {}});
  return *this;
}

DataPacketWriter& DataPacketWriter::AddRow(std::initializer_list<DataPacketValue> values) {
  return AddRow(std::span<const DataPacketValue>(values.begin(), values.size()));
}

DataPacketWriter& DataPacketWriter::AddRow(std::span<const DataPacketValue> values) {
  if (values.size() != columns_.size()) {
    Fail("Wrong number of values in a row: " + std::to_string(columns_.size()) + " expected, " +
         std::to_string(values.size()) + " given");
  }
  if (row_count_ >= kMaxRows) Fail("Too many rows");
  // Convert every value before storing any, so that a refused row leaves no trace.
  std::vector<int64_t> wire(values.size());
  for (size_t i = 0; i < values.size(); ++i) wire[i] = WireValue(columns_[i], values[i]);
  for (size_t i = 0; i < values.size(); ++i) {
    columns_[i].values.push_back(wire[i]);
    columns_[i].nulls.push_back(values[i].IsNull());
  }
  ++row_count_;
  return *this;
}

int64_t DataPacketWriter::WireValue(const Column& column, const DataPacketValue& value) const {
  const auto out_of_range = [&]() { Fail("Value out of range for column '" + column.name + "'"); };
  if (value.IsNull()) {
    if (!column.nullable) Fail("Column '" + column.name + "' does not accept null");
    return 0;
  }
  if (IsIntegerType(column.type)) {
    if (!value.IsInteger()) Fail("Column '" + column.name + "' takes integers");
    if (column.type == ftSmallint && (value.Integer() < -32768 || value.Integer() > 32767)) {
      out_of_range();
    }
    return value.Integer();
  }
  const double date_time =
      value.IsInteger() ? static_cast<double>(value.Integer()) : value.DateTime();
  int64_t instant = 0;
  if (!TryDateTimeToInstant(date_time, instant)) out_of_range();
  switch (column.type) {
    case ftDate:
      if (instant % kMSecsPerDay != 0) out_of_range();
      return instant / kMSecsPerDay;
    case ftTime:
      if (instant < 0 || instant >= kMSecsPerDay) out_of_range();
      return instant;
    default:
      return instant;
  }
}

std::vector<uint8_t> DataPacketWriter::Encode() const {
  const size_t bitmap_bytes = (row_count_ + 7) / 8;
  size_t size = kHeaderBytes + kRowCountBytes;
  for (const Column& column : columns_) {
    size += kColumnFixedBytes + column.name.size() + (column.nullable ? bitmap_bytes : 0) +
            row_count_ * ValueBytes(column.type);
  }
  // Sized once and zero-filled: the null bitmaps only need their set bits written.
  std::vector<uint8_t> out(size, 0);
  uint8_t* at = out.data();
  const auto put = [&at](uint64_t value, size_t bytes) {
    PutLittleEndian(at, value, bytes);
    at += bytes;
  };

  std::memcpy(at, kMagic, sizeof kMagic);
  at += sizeof kMagic;
  put(kVersion, 2);
  uint16_t flags = 0;
  if (read_only_) flags |= kFlagReadOnly;
  if (!deletes_allowed_) flags |= kFlagNoDeletes;
  put(flags, 2);
  put(columns_.size(), 2);
  for (const Column& column : columns_) {
    put(column.name.size(), 2);
    std::memcpy(at, column.name.data(), column.name.size());
    at += column.name.size();
    put(column.type, 1);
    put(column.nullable ? kAttrNullable : 0, 1);
  }
  put(row_count_, 4);

  for (const Column& column : columns_) {
    if (column.nullable) {
      for (size_t row = 0; row < row_count_; ++row) {
        if (column.nulls[row]) at[row / 8] |= static_cast<uint8_t>(1u << (row % 8));
      }
      at += bitmap_bytes;
    }
    const size_t width = ValueBytes(column.type);
    for (size_t row = 0; row < row_count_; ++row)
      put(static_cast<uint64_t>(column.values[row]), width);
  }
  return out;
}

}  // namespace tvx
