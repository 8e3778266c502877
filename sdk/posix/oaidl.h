// What widl's header includes for the automation types, on Linux: the module's COM runtime.
#pragma once

#include "com/com.h"
