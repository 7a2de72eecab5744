#include "editing/entry_index.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace pff {

namespace {

int64_t End(const PffEntry& entry) { return int64_t{entry.DataOffset} + entry.DataSize; }

}  // namespace

EntryIndex::EntryIndex(const std::vector<PffEntry>& entries)
    : names_(entries), slots_(entries), furthest_(std::numeric_limits<int64_t>::min()) {
  std::vector<std::pair<int64_t, int64_t>> regions;
  regions.reserve(entries.size());
  for (const PffEntry& entry : entries) {
    if (entry.DataSize > 0) regions.emplace_back(entry.DataOffset, End(entry));
  }
  std::sort(regions.begin(), regions.end());
  for (const auto& [start, end] : regions) {
    if (start < furthest_) disjoint_ = false;
    furthest_ = std::max(furthest_, end);
  }
}

bool EntryIndex::ProvesFree(const std::vector<PffEntry>& entries, int64_t from, int64_t to, int slot) const {
  if (to <= from || furthest_ <= from) return true;
  if (!disjoint_ || slot == 0) return false;
  // Regions that overlap nothing: what lies inside the slot's region lies in no other.
  const PffEntry& own = entries[static_cast<size_t>(slot - 1)];
  return own.DataSize > 0 && own.DataOffset <= from && to <= End(own);
}

void EntryIndex::Update(int index, const PffEntry& before, const PffEntry& after) {
  if (after.Name != before.Name) names_.Rename(index, after.Name);
  slots_.Set(index, after);
  if (after.DataSize <= 0) return;
  // Shrinking keeps the regions apart; anything else may not.
  if (before.DataSize <= 0 || after.DataOffset < before.DataOffset || End(after) > End(before))
    disjoint_ = false;
  furthest_ = std::max(furthest_, End(after));
}

void EntryIndex::Append(int index, const PffEntry& entry, int slot) {
  names_.Append(index, entry.Name);
  slots_.Set(index, entry);
  if (entry.DataSize <= 0) return;
  // A slot's tail was its own room; data placed elsewhere keeps the regions
  // apart only when it lies behind all of them.
  if (slot == 0 && entry.DataOffset < furthest_) disjoint_ = false;
  furthest_ = std::max(furthest_, End(entry));
}

}  // namespace pff
