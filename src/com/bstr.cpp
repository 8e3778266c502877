#include "com/bstr.h"

#include <limits>
#include <new>
#include <utility>

namespace tvx {

BStr::BStr(std::u16string_view text) {
  if (text.size() > std::numeric_limits<UINT>::max() / sizeof(OLECHAR)) throw std::bad_alloc();
  text_ = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                            static_cast<UINT>(text.size()));
  if (text_ == nullptr) throw std::bad_alloc();
}

BStr::BStr(const BStr& other) {
  if (other.text_ == nullptr) return;
  text_ = SysAllocStringByteLen(reinterpret_cast<const char*>(other.text_),
                                SysStringByteLen(other.text_));
  if (text_ == nullptr) throw std::bad_alloc();
}

BStr::BStr(BStr&& other) noexcept : text_(std::exchange(other.text_, nullptr)) {}

BStr& BStr::operator=(BStr other) noexcept {
  std::swap(text_, other.text_);
  return *this;
}

BStr::~BStr() { Reset(); }

BStr BStr::Adopt(BSTR text) noexcept {
  BStr result;
  result.text_ = text;
  return result;
}

BSTR BStr::Detach() noexcept { return std::exchange(text_, nullptr); }

BSTR* BStr::Put() noexcept {
  Reset();
  return &text_;
}

void BStr::Reset() noexcept { SysFreeString(std::exchange(text_, nullptr)); }

std::size_t BStr::Length() const noexcept { return SysStringLen(text_); }

std::u16string_view BStr::View() const noexcept { return BStrView(text_); }

std::u16string_view BStrView(BSTR text) noexcept {
  if (text == nullptr) return {};
  return {reinterpret_cast<const char16_t*>(text), SysStringLen(text)};
}

}  // namespace tvx
