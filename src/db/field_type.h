// The column types a data packet carries and the names a user reads for them.
#pragma once

#include <cstdint>

namespace tvx {

// The values are the type codes written in a data packet (docs/data-packet.md).
enum TFieldType : uint8_t {
  ftUnknown = 0,
  ftSmallint = 1,  // 16-bit signed integer
  ftInteger = 2,   // 32-bit signed integer
  ftAutoInc = 3,   // 32-bit signed integer assigned by the server
  ftDate = 4,      // a whole day
  ftTime = 5,      // a time of day
  ftDateTime = 6,  // a day and a time of day
};

// "SmallInt", "Integer", "AutoInc", "Date", "Time", "DateTime"; "Unknown" otherwise.
const char* FieldTypeName(TFieldType type);

inline bool IsIntegerType(TFieldType type) {
  return type == ftSmallint || type == ftInteger || type == ftAutoInc;
}
inline bool IsTemporalType(TFieldType type) {
  return type == ftDate || type == ftTime || type == ftDateTime;
}

}  // namespace tvx
