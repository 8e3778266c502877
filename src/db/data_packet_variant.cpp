#include "db/data_packet_variant.h"

#include "db/db_consts.h"
#include "rtl/exceptions.h"

namespace tvx {

OleVariant DataPacketToVariant(std::span<const uint8_t> packet) {
  return OleVariant::Bytes(packet);
}

DataPacketBytes::DataPacketBytes(const VARIANT& packet) {
  const VARIANT* value = &packet;
  if (value->vt == (VT_BYREF | VT_VARIANT)) {
    value = value->pvarVal;
    if (value == nullptr) throw EDatabaseError(SMissingDataPacket);
  }
  SAFEARRAY* array = nullptr;
  switch (value->vt) {
    case VT_EMPTY:
    case VT_NULL:
      throw EDatabaseError(SMissingDataPacket);
    case VT_ARRAY | VT_UI1:
      array = value->parray;
      break;
    case VT_BYREF | VT_ARRAY | VT_UI1:
      array = value->pparray != nullptr ? *value->pparray : nullptr;
      break;
    default:
      throw EDatabaseError(SInvalidDataPacket);
  }
  if (array == nullptr) throw EDatabaseError(SMissingDataPacket);
  if (SafeArrayGetDim(array) != 1 || SafeArrayGetElemsize(array) != 1) {
    throw EDatabaseError(SInvalidDataPacket);
  }
  const ULONG count = array->rgsabound[0].cElements;
  if (count == 0) throw EDatabaseError(SMissingDataPacket);
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data)) || data == nullptr) {
    throw EDatabaseError(SInvalidDataPacket);
  }
  array_ = array;
  bytes_ = std::span<const uint8_t>(static_cast<const uint8_t*>(data), count);
}

DataPacketBytes::~DataPacketBytes() {
  if (array_ != nullptr) SafeArrayUnaccessData(array_);
}

}  // namespace tvx
