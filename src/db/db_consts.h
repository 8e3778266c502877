// The texts of the record set's errors.
#pragma once

namespace tvx {

inline constexpr char SInvalidDataPacket[] = "Invalid data packet";
inline constexpr char SMissingDataPacket[] = "Missing data provider or data packet";
inline constexpr char SFieldNotFound[] = "Field '%s' not found";
inline constexpr char SFieldTypeMismatch[] =
    "Type mismatch for field '%s', expecting: %s actual: %s";
inline constexpr char SDeletesNotAllowed[] = "Deletes are not allowed";
inline constexpr char SDataSetReadOnly[] = "Cannot modify a read-only dataset";
inline constexpr char SDataSetClosed[] = "Cannot perform this operation on a closed dataset";
inline constexpr char SDataSetOpen[] = "Cannot perform this operation on an open dataset";
inline constexpr char SDataSetEmpty[] = "Cannot perform this operation on an empty dataset";
inline constexpr char SFieldNameMissing[] = "Field name missing";
inline constexpr char SDuplicateFieldName[] = "Duplicate field name '%s'";

}  // namespace tvx
