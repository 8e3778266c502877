#include "counted_object.h"

namespace tvx::test {

void CountedObject::LastReleased() noexcept {
  if (freed_ != nullptr) *freed_ = true;
  delete this;
}

}  // namespace tvx::test
