#include "ui/win32/peers/plain_peer.h"

namespace tvx::win32 {

WindowKind PlainPeer::Kind() const {
  return {.class_name = L"TavolexControl",
          .own_class = true,
          .class_style = CS_DBLCLKS,
          .style = WS_CLIPCHILDREN,
          .ex_style = WS_EX_CONTROLPARENT};
}

}  // namespace tvx::win32
