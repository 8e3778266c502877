// The server's automation methods, called by name:
//   ExportAllData()                                  a full export
//   ExportData1C(From, To, FileVersion, Encoding, Result)
//       From, To     VT_DATE: the range of change days, From not after To (a time of day is
//                    ignored: the range is whole days)
//       FileVersion  VT_I4 or VT_I2, must be 1: the layout of the export file
//       Encoding     VT_I4 or VT_I2, must be 1: UTF-8
//       Result       by reference (VT_BYREF | VT_VARIANT): receives the export's history ID
//                    (VT_I4)
// Names are matched without regard to the case of A..Z.
#pragma once

#include <string>
#include <vector>

#include "protocol/messages.h"
#include "server/exports/export_gate.h"
#include "server/exports/export_service.h"
#include "server/users/roles.h"

namespace tvx::example {

const std::vector<std::string>& MethodNames();

// Checks the arguments and runs the method for the user. Raises RequestError:
// DISP_E_MEMBERNOTFOUND for an unknown name, E_ACCESSDENIED when the user's role may not
// export, DISP_E_BADPARAMCOUNT and DISP_E_TYPEMISMATCH for wrong arguments, E_INVALIDARG for
// wrong values, E_FAIL when the export fails.
// The export itself passes the gate first: RPC_E_SERVERCALL_RETRYLATER while another runs or
// beyond the user's exports a minute.
InvokeReply CallMethod(ExportService& exports, ExportGate& gate, const User& user,
                       const InvokeRequest& request, ExportOutcome* outcome = nullptr);

}  // namespace tvx::example
