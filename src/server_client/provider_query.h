// The one provider request the record set makes: all rows of a query, with their columns.
#pragma once

#include <string_view>

#include "com/ole_variant.h"
#include "server_client/remote_server.h"

namespace tvx {

// Calls AS_GetRecords on the connection's IAppServer with the provider's name, count -1
// (every row at once), options grMetaData, the command text, Params Null and an empty
// OwnerData, and returns the reply as the server gave it (a data packet, or whatever the
// server sent: the record set checks it). Raises what GetServer raises, and for a failed
// call what CheckCallResult raises (the server's error info when it gives one).
OleVariant FetchAllRecords(TCustomRemoteServer& connection, std::string_view provider,
                           std::string_view command_text);

}  // namespace tvx
