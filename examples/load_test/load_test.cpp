// Load test of the example application server: N hosts at once, each on its own connection,
// open the export history and export, over and over, for a fixed time. Reports requests per
// second and latency percentiles, and checks that no call failed and that the history lost
// and duplicated no row: every export's ID is distinct, each host sees its own exports in the
// history it reads next, and the history grew by exactly the number of exports.
//
//   tavolex_load_test --server PATH [--clients 50] [--seconds 60]   starts its own server,
//                                                                   with a user of its own
//   tavolex_load_test --port N [--host ADDRESS] --user NAME [...]   uses a running one; the
//                                                                   password in TAVOLEX_PASSWORD
#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "com/bstr.h"
#include "com/ole_variant.h"
#include "connection/remote_app_server.h"
#include "db/data_packet_reader.h"
#include "load_test/scratch_server.h"
#include "rtl/datetime.h"
#include "rtl/text.h"
#include "server_client/dispatch_call.h"

namespace {

using namespace tvx::example;
using Clock = std::chrono::steady_clock;

// RPC_E_SERVERCALL_RETRYLATER: the server runs one export at a time and refuses another at
// once.
constexpr std::int32_t kExportRunning = static_cast<std::int32_t>(0x8001010Au);

struct Settings {
  std::string server_program;
  std::string host = "127.0.0.1";
  std::uint16_t port = 0;
  int clients = 50;
  int seconds = 60;
  std::string user = "load";
  std::string password = "load test password";
};

// What one host did.
struct HostRecord {
  std::vector<double> history_ms;
  std::vector<double> export_ms;
  std::vector<std::int32_t> created;  // IDs returned by ExportData1C
  long full_exports = 0;
  long busy = 0;  // exports refused at once because another ran: the host tries again later
  long errors = 0;
  long lost = 0;  // own exports missing from a history read after them
  std::string first_error;
};

// The IDs of every history row.
std::vector<std::int32_t> ReadHistory(RemoteAppServer& server) {
  const tvx::BStr provider(u"dspQuery");
  const tvx::BStr text(u"SELECT * FROM OK_EXPORT_HISTORY");
  tvx::OleVariant params = tvx::OleVariant::Null();
  tvx::OleVariant owner;
  tvx::OleVariant reply;
  int records = 0;
  const HRESULT hr = server.AS_GetRecords(provider.Get(), -1, &records, 1, text.Get(), params.Get(),
                                          owner.Get(), reply.Get());
  if (FAILED(hr)) {
    IErrorInfo* info = nullptr;
    std::string message = "AS_GetRecords failed";
    if (GetErrorInfo(0, &info) == S_OK && info != nullptr) {
      BSTR description = nullptr;
      info->GetDescription(&description);
      message = tvx::Utf16ToUtf8(tvx::BStrView(description));
      SysFreeString(description);
      info->Release();
    }
    throw tvx::Exception(message);
  }
  SAFEARRAY* array = reply->parray;
  const std::span<const std::uint8_t> bytes(static_cast<const std::uint8_t*>(array->pvData),
                                            array->rgsabound[0].cElements);
  const tvx::DataPacketReader packet(bytes);
  const int id = packet.FindColumn("ID");
  if (id < 0) throw tvx::Exception("the history has no ID column");
  std::vector<bool> keep(packet.Columns().size(), false);
  keep[static_cast<std::size_t>(id)] = true;
  return packet.ReadValues(keep)[static_cast<std::size_t>(id)].integers;
}

// ExportData1C over a month; returns the history ID that the server leaves in the
// by-reference argument.
std::int32_t ExportChanges(RemoteAppServer& server, tvx::TDateTime from, tvx::TDateTime to) {
  tvx::OleVariant result;
  VARIANT arguments[5];
  for (VARIANT& a : arguments) VariantInit(&a);
  arguments[0].vt = VT_DATE;
  arguments[0].date = from;
  arguments[1].vt = VT_DATE;
  arguments[1].date = to;
  arguments[2].vt = VT_I4;
  arguments[2].lVal = 1;
  arguments[3].vt = VT_I4;
  arguments[3].lVal = 1;
  arguments[4].vt = VT_BYREF | VT_VARIANT;
  arguments[4].pvarVal = result.Get();
  const tvx::OleVariant target = tvx::OleVariant::Dispatch(server.Dispatch());
  tvx::DispatchCall(*target, "ExportData1C", arguments);
  if (result->vt != VT_I4) throw tvx::Exception("ExportData1C returned no history ID");
  return result->lVal;
}

double Milliseconds(Clock::time_point since) {
  return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

void RunHost(const Settings& settings, Clock::time_point deadline, int index, HostRecord& record) {
  ClientOptions options;
  options.host = settings.host;
  options.port = settings.port;
  options.client_name = "load test host " + std::to_string(index);
  options.user = settings.user;
  options.password = settings.password;
  auto fail = [&](const std::string& message) {
    if (record.errors++ == 0) record.first_error = message;
  };
  tvx::ComPtr<RemoteAppServer> server;
  try {
    server = RemoteAppServer::Connect(options);
  } catch (const tvx::Exception& error) {
    fail(error.Message());
    return;
  }
  const int year = 2024;
  for (long round = 0; Clock::now() < deadline; ++round) {
    try {
      auto started = Clock::now();
      const std::vector<std::int32_t> ids = ReadHistory(*server);
      record.history_ms.push_back(Milliseconds(started));
      const std::set<std::int32_t> present(ids.begin(), ids.end());
      for (const std::int32_t id : record.created) {
        if (present.count(id) == 0) ++record.lost;
      }
      started = Clock::now();
      if (round % 10 == 9) {
        const tvx::OleVariant target = tvx::OleVariant::Dispatch(server->Dispatch());
        tvx::DispatchCall(*target, "ExportAllData");
        ++record.full_exports;
      } else {
        const int month = 1 + (index + static_cast<int>(round)) % 12;
        const tvx::TDateTime from = tvx::EncodeDate(year, month, 1);
        const tvx::TDateTime to = tvx::EncodeDate(year, month, tvx::DaysInAMonth(year, month));
        record.created.push_back(ExportChanges(*server, from, to));
      }
      record.export_ms.push_back(Milliseconds(started));
    } catch (const tvx::EOleException& error) {
      if (error.ErrorCode() == kExportRunning) {
        // As an operator told so would, the host tries again a moment later.
        ++record.busy;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        continue;
      }
      fail(error.Message());
      if (!server->Usable()) return;
    } catch (const tvx::Exception& error) {
      fail(error.Message());
      if (!server->Usable()) return;
    }
  }
}

// The server's limits that a load of this size needs raised: every host connects from the
// loopback address, and all of them export as one user.
std::vector<std::string> LoadServerOptions(const Settings& settings) {
  return {"--max-per-address",    std::to_string(settings.clients + 1),
          "--max-per-user",       std::to_string(settings.clients + 1),
          "--exports-per-minute", "0"};
}

double Percentile(std::vector<double>& values, double p) {
  if (values.empty()) return 0;
  const auto at = static_cast<std::size_t>(
      std::floor(p / 100.0 * static_cast<double>(values.size() - 1) + 0.5));
  return values[std::min(at, values.size() - 1)];
}

void PrintLatency(const char* name, std::vector<double> values) {
  std::sort(values.begin(), values.end());
  std::printf("  %-8s %8zu %8.2f %8.2f %8.2f %8.2f\n", name, values.size(), Percentile(values, 50),
              Percentile(values, 90), Percentile(values, 99), values.empty() ? 0.0 : values.back());
}

std::optional<Settings> ParseArguments(int argc, char** argv) {
  Settings settings;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (i + 1 >= argc) return std::nullopt;
    const std::string value = argv[++i];
    int number = 0;
    const bool numeric =
        std::from_chars(value.data(), value.data() + value.size(), number).ec == std::errc();
    if (option == "--server") {
      settings.server_program = value;
    } else if (option == "--user") {
      settings.user = value;
    } else if (option == "--host") {
      settings.host = value;
    } else if (option == "--port" && numeric && number > 0 && number < 65536) {
      settings.port = static_cast<std::uint16_t>(number);
    } else if (option == "--clients" && numeric && number > 0 && number <= 1000) {
      settings.clients = number;
    } else if (option == "--seconds" && numeric && number > 0 && number <= 3600) {
      settings.seconds = number;
    } else {
      return std::nullopt;
    }
  }
  if (settings.server_program.empty() == (settings.port == 0)) return std::nullopt;
  if (settings.port != 0) {
    const char* password = std::getenv("TAVOLEX_PASSWORD");
    if (password == nullptr) return std::nullopt;
    settings.password = password;
  }
  return settings;
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<Settings> parsed = ParseArguments(argc, argv);
  if (!parsed) {
    std::fprintf(stderr,
                 "usage: tavolex_load_test (--server PATH | --port N [--host ADDRESS] --user NAME, "
                 "with the password in TAVOLEX_PASSWORD) [--clients N] [--seconds S]\n");
    return 2;
  }
  Settings settings = *parsed;
  std::unique_ptr<ScratchServer> launched;
  try {
    if (!settings.server_program.empty()) {
      launched = std::make_unique<ScratchServer>(settings.server_program, settings.user,
                                                 settings.password, LoadServerOptions(settings));
      settings.port = launched->Port();
    }
    ClientOptions options;
    options.host = settings.host;
    options.port = settings.port;
    options.user = settings.user;
    options.password = settings.password;
    auto observer = RemoteAppServer::Connect(options);
    const std::size_t rows_before = ReadHistory(*observer).size();

    std::printf("load test: %d clients for %d s against %s:%u\n", settings.clients,
                settings.seconds, settings.host.c_str(), static_cast<unsigned>(settings.port));
    std::fflush(stdout);
    std::vector<HostRecord> records(static_cast<std::size_t>(settings.clients));
    const auto started = Clock::now();
    const auto deadline = started + std::chrono::seconds(settings.seconds);
    std::vector<std::thread> hosts;
    for (int i = 0; i < settings.clients; ++i) {
      hosts.emplace_back(RunHost, std::cref(settings), deadline, i,
                         std::ref(records[static_cast<std::size_t>(i)]));
    }
    for (auto& host : hosts) host.join();
    const double elapsed = std::chrono::duration<double>(Clock::now() - started).count();

    std::vector<double> history_ms, export_ms, all_ms;
    std::vector<std::int32_t> created;
    long errors = 0, lost = 0, full_exports = 0, busy = 0;
    std::string first_error;
    for (const HostRecord& r : records) {
      history_ms.insert(history_ms.end(), r.history_ms.begin(), r.history_ms.end());
      export_ms.insert(export_ms.end(), r.export_ms.begin(), r.export_ms.end());
      created.insert(created.end(), r.created.begin(), r.created.end());
      errors += r.errors;
      lost += r.lost;
      full_exports += r.full_exports;
      busy += r.busy;
      if (first_error.empty()) first_error = r.first_error;
    }
    all_ms = history_ms;
    all_ms.insert(all_ms.end(), export_ms.begin(), export_ms.end());

    const std::vector<std::int32_t> final_ids = ReadHistory(*observer);
    const std::set<std::int32_t> final_set(final_ids.begin(), final_ids.end());
    const std::set<std::int32_t> distinct(created.begin(), created.end());
    long missing = 0;
    for (const std::int32_t id : created) missing += final_set.count(id) == 0 ? 1 : 0;
    const std::size_t exports = export_ms.size();
    const bool grew_right = final_ids.size() == rows_before + exports;
    const bool no_duplicates =
        distinct.size() == created.size() && final_set.size() == final_ids.size();

    std::printf(
        "requests: %zu (history %zu, exports %zu of which %ld full); exports refused while another "
        "export ran %ld, errors %ld\n",
        all_ms.size(), history_ms.size(), exports, full_exports, busy, errors);
    if (!first_error.empty()) std::printf("first error: %s\n", first_error.c_str());
    std::printf("throughput: %.1f requests/s over %.1f s\n",
                static_cast<double>(all_ms.size()) / elapsed, elapsed);
    std::printf("latency (ms)    count      p50      p90      p99      max\n");
    PrintLatency("history", history_ms);
    PrintLatency("export", export_ms);
    PrintLatency("all", all_ms);
    std::printf(
        "history rows: %zu before, %zu after (%s); IDs returned: %zu, distinct %s; "
        "missing afterwards %ld; missed by their own host %ld\n",
        rows_before, final_ids.size(),
        grew_right ? "grew by exactly the exports" : "DID NOT grow by the exports", created.size(),
        no_duplicates ? "yes" : "NO", missing, lost);
    bool files_right = true;
    if (launched) {
      std::size_t files = 0;
      for (const auto& entry : std::filesystem::directory_iterator(launched->ExportFolder())) {
        files += entry.path().extension() == ".xml" ? 1 : 0;
      }
      files_right = files == exports;
      std::printf("export files: %zu (%s)\n", files, files_right ? "one per export" : "WRONG");
    }
    const bool ok =
        errors == 0 && lost == 0 && missing == 0 && grew_right && no_duplicates && files_right;
    std::printf("result: %s\n", ok ? "OK" : "FAILED");
    return ok ? 0 : 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tavolex_load_test: %s\n", error.what());
    return 1;
  }
}
