#include "db/data_packet_reader.h"

#include <bit>
#include <cstring>

#include "db/data_packet_format.h"
#include "db/db_consts.h"
#include "db/field_names.h"
#include "rtl/exceptions.h"

namespace tvx {

using namespace data_packet;

namespace {

[[noreturn]] void Invalid() { throw EDatabaseError(SInvalidDataPacket); }

template <typename T>
T LoadLittleEndian(const uint8_t* at) {
  T value;
  std::memcpy(&value, at, sizeof value);
  if constexpr (std::endian::native == std::endian::big) {
    using U = std::make_unsigned_t<T>;
    U swapped = 0;
    for (size_t i = 0; i < sizeof(T); ++i) swapped = static_cast<U>((swapped << 8) | at[i]);
    value = static_cast<T>(swapped);
  }
  return value;
}

// Reads the fixed part of a packet front to back, refusing to step past its end.
class Cursor {
 public:
  explicit Cursor(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  const uint8_t* Take(size_t count) {
    if (bytes_.size() - offset_ < count) Invalid();
    const uint8_t* at = bytes_.data() + offset_;
    offset_ += count;
    return at;
  }
  uint8_t U8() { return *Take(1); }
  uint16_t U16() { return LoadLittleEndian<uint16_t>(Take(2)); }
  uint32_t U32() { return LoadLittleEndian<uint32_t>(Take(4)); }
  size_t Offset() const { return offset_; }
  size_t Remaining() const { return bytes_.size() - offset_; }

 private:
  std::span<const uint8_t> bytes_;
  size_t offset_ = 0;
};

bool BitSet(const uint8_t* bitmap, uint32_t row) {
  return ((bitmap[row / 8] >> (row % 8)) & 1) != 0;
}

// Converts the wire values of a temporal column to instants, checking their range.
template <typename Wire, int64_t kScale>
void ReadInstants(const uint8_t* values, const uint8_t* bitmap, uint32_t rows, int64_t min,
                  int64_t max, int64_t* out) {
  for (uint32_t row = 0; row < rows; ++row) {
    if (bitmap != nullptr && BitSet(bitmap, row)) {
      if (out != nullptr) out[row] = kNullInstant;
      continue;
    }
    const int64_t value = LoadLittleEndian<Wire>(values + size_t{row} * sizeof(Wire));
    if (value < min || value > max) Invalid();
    if (out != nullptr) out[row] = value * kScale;
  }
}

template <typename Wire>
void ReadIntegers(const uint8_t* values, const uint8_t* bitmap, uint32_t rows, int32_t* out) {
  if (out == nullptr) return;  // every bit pattern is a valid integer
  for (uint32_t row = 0; row < rows; ++row) {
    out[row] = (bitmap != nullptr && BitSet(bitmap, row))
                   ? 0
                   : LoadLittleEndian<Wire>(values + size_t{row} * sizeof(Wire));
  }
}

}  // namespace

DataPacketReader::DataPacketReader(std::span<const uint8_t> packet) : packet_(packet) {
  if (packet.empty()) throw EDatabaseError(SMissingDataPacket);
  Cursor cursor(packet);
  if (std::memcmp(cursor.Take(sizeof kMagic), kMagic, sizeof kMagic) != 0) Invalid();
  if (cursor.U16() != kVersion) Invalid();
  flags_ = cursor.U16();
  if ((flags_ & ~kKnownFlags) != 0) Invalid();
  const uint16_t column_count = cursor.U16();
  if (column_count == 0 || column_count > kMaxColumns) Invalid();
  // Each column takes at least its fixed part and a one-byte name: checked before reserving.
  if (cursor.Remaining() / (kColumnFixedBytes + 1) < column_count) Invalid();
  columns_.reserve(column_count);
  for (uint16_t i = 0; i < column_count; ++i) {
    const uint16_t name_bytes = cursor.U16();
    if (name_bytes == 0 || name_bytes > kMaxNameBytes) Invalid();
    PacketColumn column;
    column.name.assign(reinterpret_cast<const char*>(cursor.Take(name_bytes)), name_bytes);
    column.type = static_cast<TFieldType>(cursor.U8());
    const uint8_t attributes = cursor.U8();
    if (!IsValidColumnName(column.name) || ValueBytes(column.type) == 0 ||
        (attributes & ~kKnownAttrs) != 0 || FindColumn(column.name) >= 0) {
      Invalid();
    }
    column.nullable = (attributes & kAttrNullable) != 0;
    columns_.push_back(std::move(column));
  }
  row_count_ = cursor.U32();
  if (row_count_ > kMaxRows) Invalid();

  // The body's length follows from the header; every term is bounded (rows < 2^31, values
  // of at most 8 bytes, at most 1024 columns), so the sum cannot overflow 64 bits.
  const uint64_t bitmap_bytes = (uint64_t{row_count_} + 7) / 8;
  uint64_t offset = cursor.Offset();
  column_offsets_.reserve(columns_.size());
  for (const PacketColumn& column : columns_) {
    column_offsets_.push_back(static_cast<size_t>(offset));
    offset += (column.nullable ? bitmap_bytes : 0) + uint64_t{row_count_} * ValueBytes(column.type);
    if (offset > packet.size()) Invalid();
  }
  if (offset != packet.size()) Invalid();
}

bool DataPacketReader::ReadOnly() const { return (flags_ & kFlagReadOnly) != 0; }

bool DataPacketReader::DeletesAllowed() const { return (flags_ & kFlagNoDeletes) == 0; }

int DataPacketReader::FindColumn(std::string_view name) const {
  for (size_t i = 0; i < columns_.size(); ++i) {
    if (SameFieldName(columns_[i].name, name)) return static_cast<int>(i);
  }
  return -1;
}

std::vector<ColumnValues> DataPacketReader::ReadValues(const std::vector<bool>& keep) const {
  std::vector<ColumnValues> values(columns_.size());
  for (size_t i = 0; i < columns_.size(); ++i) {
    ReadColumn(i, i < keep.size() && keep[i] ? &values[i] : nullptr);
  }
  return values;
}

void DataPacketReader::ReadColumn(size_t index, ColumnValues* out) const {
  const PacketColumn& column = columns_[index];
  const uint32_t rows = row_count_;
  const uint8_t* at = packet_.data() + column_offsets_[index];
  const uint8_t* bitmap = nullptr;
  if (column.nullable) {
    bitmap = at;
    const size_t bitmap_bytes = (size_t{rows} + 7) / 8;
    // Bits after the last row must be clear.
    if (rows % 8 != 0 && (bitmap[bitmap_bytes - 1] >> (rows % 8)) != 0) Invalid();
    at += bitmap_bytes;
  }
  if (out != nullptr) out->type = column.type;

  if (IsIntegerType(column.type)) {
    int32_t* target = nullptr;
    if (out != nullptr) {
      out->integers.resize(rows);
      target = out->integers.data();
      if (bitmap != nullptr) {
        out->null_bits.assign((size_t{rows} + 63) / 64, 0);
        for (size_t byte = 0; byte < (size_t{rows} + 7) / 8; ++byte) {
          out->null_bits[byte / 8] |= uint64_t{bitmap[byte]} << (8 * (byte % 8));
        }
      }
    }
    if (column.type == ftSmallint) {
      ReadIntegers<int16_t>(at, bitmap, rows, target);
    } else {
      ReadIntegers<int32_t>(at, bitmap, rows, target);
    }
    return;
  }

  int64_t* target = nullptr;
  if (out != nullptr) {
    out->instants.resize(rows);
    target = out->instants.data();
  }
  switch (column.type) {
    case ftDate:
      ReadInstants<int32_t, kMSecsPerDay>(at, bitmap, rows, kMinDay, kMaxDay, target);
      break;
    case ftTime:
      ReadInstants<int32_t, 1>(at, bitmap, rows, 0, kMSecsPerDay - 1, target);
      break;
    default:
      ReadInstants<int64_t, 1>(at, bitmap, rows, kMinInstant, kMaxInstant, target);
      break;
  }
}

}  // namespace tvx
