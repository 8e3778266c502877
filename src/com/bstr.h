// tvx::BStr: a BSTR that frees itself. Copies are deep; embedded nulls survive.
#pragma once

#include <string>
#include <string_view>

#include "com/com.h"

namespace tvx {

class BStr {
 public:
  BStr() noexcept = default;
  // Throws std::bad_alloc when the string cannot be allocated.
  explicit BStr(std::u16string_view text);
  BStr(const BStr& other);
  BStr(BStr&& other) noexcept;
  BStr& operator=(BStr other) noexcept;
  ~BStr();

  // Takes over a string that the caller owns.
  static BStr Adopt(BSTR text) noexcept;
  [[nodiscard]] BSTR Detach() noexcept;
  // The address for an out-parameter; what was held is freed first.
  BSTR* Put() noexcept;
  void Reset() noexcept;

  // Null for the empty BStr made by the default constructor.
  BSTR Get() const noexcept { return text_; }
  std::size_t Length() const noexcept;
  std::u16string_view View() const noexcept;
  std::u16string ToU16String() const { return std::u16string(View()); }

 private:
  BSTR text_ = nullptr;
};

// The characters of a BSTR (empty for null), without copying.
std::u16string_view BStrView(BSTR text) noexcept;

}  // namespace tvx
