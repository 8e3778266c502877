#include "db/field_type.h"

namespace tvx {

const char* FieldTypeName(TFieldType type) {
  switch (type) {
    case ftSmallint:
      return "SmallInt";
    case ftInteger:
      return "Integer";
    case ftAutoInc:
      return "AutoInc";
    case ftDate:
      return "Date";
    case ftTime:
      return "Time";
    case ftDateTime:
      return "DateTime";
    case ftUnknown:
      break;
  }
  return "Unknown";
}

}  // namespace tvx
