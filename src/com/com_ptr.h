// A counted reference to a COM interface: holds one reference and releases it on reset or
// destruction. The module's objects are held as a host holds its own, so it is the host SDK's
// tavolex::Ref, named ComPtr here.
#pragma once

#include "com/com.h"
#include "tavolex/ref.h"

namespace tvx {

template <class T>
using ComPtr = tavolex::Ref<T>;

}  // namespace tvx
