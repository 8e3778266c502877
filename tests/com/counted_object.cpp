#include "counted_object.h"

namespace tvx::test {

ULONG STDMETHODCALLTYPE CountedObject::Release() {
  const ULONG left = --references_;
  if (left == 0) {
    if (freed_ != nullptr) *freed_ = true;
    delete this;
  }
  return left;
}

}  // namespace tvx::test
