// The values of one column of a record set, in the order in which the server sent the rows
// (a row's number in that order is its physical row).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "db/field_type.h"
#include "db/instant.h"

namespace tvx {

struct ColumnValues {
  TFieldType type = ftUnknown;
  // Integer types: the values (0 where null), and for a nullable column one bit per row,
  // set for null.
  std::vector<int32_t> integers;
  std::vector<uint64_t> null_bits;
  // Temporal types: instants (milliseconds since 30 December 1899), kNullInstant for null.
  std::vector<int64_t> instants;

  bool IsNull(uint32_t row) const {
    if (IsTemporalType(type)) return instants[row] == kNullInstant;
    return !null_bits.empty() && ((null_bits[row / 64] >> (row % 64)) & 1) != 0;
  }

  // A key that orders the column's values ascending with nulls first.
  int64_t SortKey(uint32_t row) const {
    if (IsTemporalType(type)) return instants[row];
    return IsNull(row) ? kNullInstant : integers[row];
  }

  // Bytes held for the values.
  size_t MemoryBytes() const {
    return integers.capacity() * sizeof(int32_t) + null_bits.capacity() * sizeof(uint64_t) +
           instants.capacity() * sizeof(int64_t);
  }
};

}  // namespace tvx
