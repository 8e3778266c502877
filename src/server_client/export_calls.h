// The two export methods of the application server, called by name on its automation
// object (the connection's AppServer).
#pragma once

#include "com/com.h"
#include "rtl/datetime.h"

namespace tvx {

// ExportAllData, without arguments.
void CallExportAllData(const VARIANT& app_server);

// ExportData1C with From and To (VT_DATE), 1 and 1 (VT_I4), and an empty variant passed by
// reference (VT_BYREF | VT_VARIANT); what the server leaves in that variant is discarded.
void CallExportData1C(const VARIANT& app_server, TDateTime from, TDateTime to);

}  // namespace tvx
