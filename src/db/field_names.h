// Rules for column and field names: UTF-8 text of 1..255 bytes, matched without regard to
// the case of the Latin letters A..Z (other characters match exactly).
#pragma once

#include <string_view>

namespace tvx {

bool IsValidColumnName(std::string_view name);
bool SameFieldName(std::string_view a, std::string_view b);

}  // namespace tvx
