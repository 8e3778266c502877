// Orders the rows of a record set by key columns: ascending, nulls first, and rows with
// equal keys in the order in which the server sent them.
#pragma once

#include <cstdint>
#include <vector>

#include "db/column_values.h"

namespace tvx {

// Sorts `rows` (physical row numbers) by the key columns, first key first; rows with equal
// keys keep their order in `rows`. No key columns leave the rows as they are.
void SortRows(const std::vector<const ColumnValues*>& keys, std::vector<uint32_t>& rows);

}  // namespace tvx
