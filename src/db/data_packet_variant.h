// The form in which a data packet travels through COM: a VARIANT holding a one-dimensional
// byte array (VT_ARRAY | VT_UI1).
#pragma once

#include <cstdint>
#include <span>

#include "com/ole_variant.h"

namespace tvx {

// A new byte-array VARIANT holding a copy of the packet's bytes.
OleVariant DataPacketToVariant(std::span<const uint8_t> packet);

// The bytes of the packet that a VARIANT holds, locked for as long as this object lives
// (the VARIANT must outlive it). A VARIANT passed by reference is followed once. Empty,
// null, a null array or an array of no bytes raise EDatabaseError "Missing data provider or
// data packet"; any other VARIANT that is no one-dimensional byte array raises
// "Invalid data packet".
class DataPacketBytes {
 public:
  explicit DataPacketBytes(const VARIANT& packet);
  ~DataPacketBytes();
  DataPacketBytes(const DataPacketBytes&) = delete;
  DataPacketBytes& operator=(const DataPacketBytes&) = delete;

  std::span<const uint8_t> Bytes() const { return bytes_; }

 private:
  SAFEARRAY* array_ = nullptr;
  std::span<const uint8_t> bytes_;
};

}  // namespace tvx
