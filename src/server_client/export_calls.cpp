#include "server_client/export_calls.h"

#include "com/ole_variant.h"
#include "server_client/dispatch_call.h"

namespace tvx {

namespace {

VARIANT DateArgument(TDateTime value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_DATE;
  v.date = value;
  return v;
}

VARIANT IntegerArgument(int32_t value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

}  // namespace

void CallExportAllData(const VARIANT& app_server) { DispatchCall(app_server, "ExportAllData"); }

void CallExportData1C(const VARIANT& app_server, TDateTime from, TDateTime to) {
  OleVariant left_by_server;  // cleared on every path, whatever the server put there
  VARIANT by_reference;
  VariantInit(&by_reference);
  by_reference.vt = VT_BYREF | VT_VARIANT;
  by_reference.pvarVal = left_by_server.Get();
  // None of these owns anything: no clean-up needed beyond left_by_server.
  const VARIANT arguments[] = {DateArgument(from), DateArgument(to), IntegerArgument(1),
                               IntegerArgument(1), by_reference};
  DispatchCall(app_server, "ExportData1C", arguments);
}

}  // namespace tvx
