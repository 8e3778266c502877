// tvx::OleVariant: a VARIANT that clears itself. Copies go through VariantCopy (deep
// copies of strings and arrays, a new reference to interfaces).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "com/com.h"

namespace tvx {

class OleVariant {
 public:
  OleVariant() noexcept { VariantInit(&value_); }
  // Copies `value`; throws std::bad_alloc, or std::invalid_argument for a type that
  // cannot be copied.
  explicit OleVariant(const VARIANT& value);
  OleVariant(const OleVariant& other) : OleVariant(other.value_) {}
  OleVariant(OleVariant&& other) noexcept;
  OleVariant& operator=(OleVariant other) noexcept;
  ~OleVariant() { VariantClear(&value_); }

  static OleVariant Null() noexcept;
  static OleVariant I4(std::int32_t value) noexcept;
  static OleVariant Date(double value) noexcept;
  static OleVariant String(std::u16string_view text);
  // Adds a reference to `object` (which may be null).
  static OleVariant Dispatch(IDispatch* object) noexcept;
  static OleVariant Unknown(IUnknown* object) noexcept;
  // VT_ARRAY | VT_UI1, bounds 0 to size-1.
  static OleVariant Bytes(std::span<const std::uint8_t> bytes);
  // VT_BYREF | VT_VARIANT pointing at `target`, which the caller keeps alive and owns.
  static OleVariant ByRef(VARIANT* target) noexcept;
  // Takes over what `value` owns and leaves it VT_EMPTY.
  static OleVariant Adopt(VARIANT& value) noexcept;

  VARTYPE Type() const noexcept { return value_.vt; }
  const VARIANT& operator*() const noexcept { return value_; }
  VARIANT& operator*() noexcept { return value_; }
  const VARIANT* operator->() const noexcept { return &value_; }
  VARIANT* operator->() noexcept { return &value_; }
  VARIANT* Get() noexcept { return &value_; }
  // The address for an out-parameter: cleared first.
  VARIANT* Put() noexcept;
  void Clear() noexcept;
  // Hands what is held to the caller and becomes VT_EMPTY.
  [[nodiscard]] VARIANT Detach() noexcept;

 private:
  VARIANT value_;
};

}  // namespace tvx
