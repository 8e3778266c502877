// The wire layout of a data packet: the constants that the writer and the reader share.
// docs/data-packet.md describes the format in full.
#pragma once

#include <cstddef>
#include <cstdint>

#include "db/field_type.h"

namespace tvx::data_packet {

inline constexpr uint8_t kMagic[4] = {'T', 'V', 'D', 'P'};
inline constexpr uint16_t kVersion = 1;

// Packet flags.
inline constexpr uint16_t kFlagReadOnly = 0x0001;
inline constexpr uint16_t kFlagNoDeletes = 0x0002;
inline constexpr uint16_t kKnownFlags = kFlagReadOnly | kFlagNoDeletes;

// Column attributes.
inline constexpr uint8_t kAttrNullable = 0x01;
inline constexpr uint8_t kKnownAttrs = kAttrNullable;

// Limits.
inline constexpr size_t kMaxColumns = 1024;
inline constexpr size_t kMaxNameBytes = 255;
inline constexpr uint32_t kMaxRows = 0x7FFF'FFFF;

// Sizes of the fixed parts: magic, version, flags, column count; a column's name length,
// type and attributes; the row count.
inline constexpr size_t kHeaderBytes = 4 + 2 + 2 + 2;
inline constexpr size_t kColumnFixedBytes = 2 + 1 + 1;
inline constexpr size_t kRowCountBytes = 4;

// Bytes of one value of a column of the given type; 0 for an unknown type.
constexpr size_t ValueBytes(TFieldType type) {
  switch (type) {
    case ftSmallint:
      return 2;
    case ftInteger:
    case ftAutoInc:
    case ftDate:
    case ftTime:
      return 4;
    case ftDateTime:
      return 8;
    case ftUnknown:
      break;
  }
  return 0;
}

// Temporal values travel as integers: a date as days since 30 December 1899, a time as
// milliseconds since midnight, a date-time as milliseconds since 30 December 1899 00:00.
// Inside the record set every temporal value is such a millisecond count (an "instant").
inline constexpr int64_t kMSecsPerDay = 86'400'000;
inline constexpr int32_t kMinDay = -693'593;   // 1 January 0001
inline constexpr int32_t kMaxDay = 2'958'465;  // 31 December 9999
inline constexpr int64_t kMinInstant = int64_t{kMinDay} * kMSecsPerDay;
inline constexpr int64_t kMaxInstant = (int64_t{kMaxDay} + 1) * kMSecsPerDay - 1;

}  // namespace tvx::data_packet
