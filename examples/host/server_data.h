// What the host's main window shows of the application server's data, read through the
// provider query "dspQuery" on the host's connection: the staff list and a summary of the
// export history. A data packet carries numbers and dates only, so the list shows those.
#pragma once

#include <cstdint>
#include <vector>

#include "server_client/remote_server.h"

namespace tvx::host {

struct StaffRow {
  std::int32_t id = 0;
  double hired = 0;      // TDateTime
  double dismissed = 0;  // 0: still employed
  std::int64_t salary_kopecks = 0;
  double changed = 0;
};

struct HistorySummary {
  std::uint32_t exports = 0;
  double latest = 0;  // EXPORT_DATE of the latest export; 0 when there is none
};

// Raise what the connection and the query raise (EOleException with the server's text, or
// EDatabaseError for a reply that is no valid data packet).
std::vector<StaffRow> ReadStaff(TCustomRemoteServer& connection);
HistorySummary ReadHistorySummary(TCustomRemoteServer& connection);

}  // namespace tvx::host
