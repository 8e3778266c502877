#include "db/record_order.h"

#include <algorithm>
#include <array>

namespace tvx {
namespace {

// Below this many rows a comparison sort beats the radix sort's fixed cost.
constexpr size_t kRadixMinRows = 2048;

struct KeyedRow {
  uint64_t key;  // the sort key shifted to start at 0, so it orders as unsigned
  uint32_t row;
};

// A stable least-significant-digit radix sort: a few linear passes over the rows, skipping
// digits that all rows share. It keeps the order of equal keys because every pass is
// stable. Wider digits mean fewer passes but more counters to clear and sum, which only
// pays off for many rows.
template <int kDigitBits>
void RadixSort(std::vector<KeyedRow>& items) {
  constexpr size_t kBuckets = size_t{1} << kDigitBits;
  constexpr int kPasses = (64 + kDigitBits - 1) / kDigitBits;
  uint64_t all_bits = 0;
  for (const KeyedRow& item : items) all_bits |= item.key;
  std::vector<std::array<uint32_t, kBuckets>> counts;
  int passes = 0;
  while (passes < kPasses && (all_bits >> (passes * kDigitBits)) != 0) ++passes;
  counts.assign(passes, {});
  for (const KeyedRow& item : items) {
    for (int p = 0; p < passes; ++p) ++counts[p][(item.key >> (p * kDigitBits)) & (kBuckets - 1)];
  }
  std::vector<KeyedRow> buffer(items.size());
  for (int p = 0; p < passes; ++p) {
    std::array<uint32_t, kBuckets>& count = counts[p];
    // A digit that every row shares moves nothing.
    if (std::find(count.begin(), count.end(), items.size()) != count.end()) continue;
    uint32_t offset = 0;
    for (uint32_t& c : count) {
      const uint32_t n = c;
      c = offset;
      offset += n;
    }
    const int shift = p * kDigitBits;
    for (const KeyedRow& item : items) buffer[count[(item.key >> shift) & (kBuckets - 1)]++] = item;
    items.swap(buffer);
  }
}

void SortBySingleKey(const ColumnValues& key, std::vector<uint32_t>& rows) {
  if (rows.size() < 2) return;
  int64_t min = key.SortKey(rows[0]);
  int64_t max = min;
  bool sorted = true;
  int64_t previous = min;
  for (uint32_t row : rows) {
    const int64_t k = key.SortKey(row);
    sorted = sorted && previous <= k;
    previous = k;
    min = std::min(min, k);
    max = std::max(max, k);
  }
  if (sorted) return;  // already in order, as servers often send rows
  std::vector<KeyedRow> items(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    // Two's complement subtraction gives the distance from min, which fits in 64 bits.
    items[i] = {static_cast<uint64_t>(key.SortKey(rows[i])) - static_cast<uint64_t>(min), rows[i]};
  }
  if (items.size() < kRadixMinRows) {
    // Few rows: a comparison sort, stable through the position of each row in `rows`.
    for (size_t i = 0; i < items.size(); ++i) items[i].row = static_cast<uint32_t>(i);
    std::sort(items.begin(), items.end(), [](const KeyedRow& a, const KeyedRow& b) {
      return a.key < b.key || (a.key == b.key && a.row < b.row);
    });
    std::vector<uint32_t> sorted(rows.size());
    for (size_t i = 0; i < items.size(); ++i) sorted[i] = rows[items[i].row];
    rows.swap(sorted);
    return;
  }
  RadixSort<11>(items);
  for (size_t i = 0; i < rows.size(); ++i) rows[i] = items[i].row;
}

}  // namespace

void SortRows(const std::vector<const ColumnValues*>& keys, std::vector<uint32_t>& rows) {
  // Stable sorts from the last key to the first give the order of all keys together.
  for (auto key = keys.rbegin(); key != keys.rend(); ++key) SortBySingleKey(**key, rows);
}

}  // namespace tvx
