// Opening the export history: decode the packet, order the rows by EXPORT_DATE, move to the
// last row and read its three dates, as the export dialog does. Beside it, a lower bound
// for the same work: the same rows copied from a flat array and a stable sort of row
// indices by date. Counters give the memory each keeps per row (bytes allocated and still
// held after opening, divided by the rows).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <new>
#include <numeric>
#include <random>
#include <vector>

#include "db/client_data_set.h"
#include "db/data_packet_variant.h"
#include "db/fields.h"
#include "db/instant.h"
#include "support/history_record_set.h"
#include "support/history_table.h"

// Every allocation of the program is counted so that the memory a structure keeps can be
// read as the difference of two readings.
namespace {
size_t g_live_bytes = 0;
constexpr size_t kHeader = alignof(std::max_align_t);

void* CountedAlloc(size_t size) {
  void* block = std::malloc(size + kHeader);
  if (block == nullptr) return nullptr;
  *static_cast<size_t*>(block) = size;
  g_live_bytes += size;
  return static_cast<char*>(block) + kHeader;
}

void CountedFree(void* pointer) {
  if (pointer == nullptr) return;
  void* block = static_cast<char*>(pointer) - kHeader;
  g_live_bytes -= *static_cast<size_t*>(block);
  std::free(block);
}
}  // namespace

void* operator new(size_t size) {
  if (void* p = CountedAlloc(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return CountedAlloc(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return CountedAlloc(size); }
void operator delete(void* p) noexcept { CountedFree(p); }
void operator delete[](void* p) noexcept { CountedFree(p); }
void operator delete(void* p, size_t) noexcept { CountedFree(p); }
void operator delete[](void* p, size_t) noexcept { CountedFree(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { CountedFree(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { CountedFree(p); }

namespace tvx {
namespace {

// One history row as the flat array of the lower bound holds it: dates as instants.
struct FlatRow {
  int32_t id;
  int64_t date, from, to;
};

// The history of `rows` exports in random order of date (random days over twenty years,
// random seconds; every tenth row repeats the date of the row before it).
const std::vector<FlatRow>& History(size_t rows) {
  static std::map<size_t, std::vector<FlatRow>> cache;
  std::vector<FlatRow>& flat = cache[rows];
  if (!flat.empty()) return flat;
  std::mt19937_64 random(rows);
  std::uniform_int_distribution<int64_t> day(40000, 47300);
  std::uniform_int_distribution<int64_t> second(0, 86399);
  for (size_t i = 0; i < rows; ++i) {
    const int64_t d = day(random);
    FlatRow row{static_cast<int32_t>(i + 1), (d * 86400 + second(random)) * 1000,
                (d - 30) * 86400000, d * 86400000};
    if (i % 10 == 9) row.date = flat.back().date;
    flat.push_back(row);
  }
  return flat;
}

std::vector<uint8_t> HistoryPacket(size_t rows) {
  std::vector<test::HistoryRecord> records;
  records.reserve(rows);
  for (const FlatRow& row : History(rows)) {
    records.push_back({row.id, InstantToDateTime(row.date), InstantToDateTime(row.from),
                       InstantToDateTime(row.to)});
  }
  return test::HistoryTableWithTimesOfDay(records).Encode();
}

// Opens the export dialog's record set on the packet and reads the latest row's dates.
double OpenAndReadLatest(test::HistoryRecordSet& history, const VARIANT& packet) {
  history.cds->SetData(packet);
  history.cds->Last();
  return history.date->AsDateTime() + history.from->AsDateTime() + history.to->AsDateTime();
}

void BM_OpenHistory(benchmark::State& state) {
  const size_t rows = static_cast<size_t>(state.range(0));
  const OleVariant packet = DataPacketToVariant(HistoryPacket(rows));
  test::HistoryRecordSet history;
  {
    const size_t before = g_live_bytes;
    OpenAndReadLatest(history, *packet);
    state.counters["bytes_per_row"] = static_cast<double>(g_live_bytes - before) / rows;
    history.cds->Close();
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(OpenAndReadLatest(history, *packet));
    history.cds->Close();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(rows));
}

// The lower bound: copy the rows, stable-sort their indices by date, read the last one.
struct CopiedHistory {
  std::vector<FlatRow> rows;
  std::vector<uint32_t> order;
};

double CopyAndSort(const std::vector<FlatRow>& flat, CopiedHistory& out) {
  out.rows = flat;
  out.order.resize(flat.size());
  std::iota(out.order.begin(), out.order.end(), 0u);
  const FlatRow* rows = out.rows.data();
  std::stable_sort(out.order.begin(), out.order.end(),
                   [rows](uint32_t a, uint32_t b) { return rows[a].date < rows[b].date; });
  const FlatRow& last = out.rows[out.order.back()];
  return InstantToDateTime(last.date) + InstantToDateTime(last.from) + InstantToDateTime(last.to);
}

void BM_CopyAndStableSortLowerBound(benchmark::State& state) {
  const size_t rows = static_cast<size_t>(state.range(0));
  const std::vector<FlatRow>& flat = History(rows);
  {
    CopiedHistory copy;
    const size_t before = g_live_bytes;
    CopyAndSort(flat, copy);
    state.counters["bytes_per_row"] = static_cast<double>(g_live_bytes - before) / rows;
  }
  for (auto _ : state) {
    CopiedHistory copy;
    benchmark::DoNotOptimize(CopyAndSort(flat, copy));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(rows));
}

BENCHMARK(BM_OpenHistory)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CopyAndStableSortLowerBound)
    ->Arg(1000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tvx

BENCHMARK_MAIN();
