#include "rtl/exceptions.h"

namespace tvx {

void Abort() { throw EAbort(); }

}  // namespace tvx
