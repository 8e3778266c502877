// A set of values of an enumeration (at most 64 values), kept as a bit mask: the type of
// option and state sets such as a component's state or a control's anchors.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace tvx {

template <class E>
class TSet {
 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> values) {
    for (E value : values) Include(value);
  }

  static constexpr TSet FromBits(uint64_t bits) {
    TSet result;
    result.bits_ = bits;
    return result;
  }
  constexpr uint64_t Bits() const { return bits_; }

  constexpr bool Contains(E value) const { return (bits_ & Bit(value)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr void Include(E value) { bits_ |= Bit(value); }
  constexpr void Exclude(E value) { bits_ &= ~Bit(value); }

  constexpr TSet operator+(TSet other) const { return FromBits(bits_ | other.bits_); }
  constexpr TSet operator-(TSet other) const { return FromBits(bits_ & ~other.bits_); }
  constexpr TSet operator*(TSet other) const { return FromBits(bits_ & other.bits_); }
  constexpr bool operator==(const TSet&) const = default;

 private:
  static constexpr uint64_t Bit(E value) { return uint64_t{1} << static_cast<unsigned>(value); }

  uint64_t bits_ = 0;
};

}  // namespace tvx
