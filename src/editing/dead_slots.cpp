#include "editing/dead_slots.h"

#include <algorithm>
#include <limits>

namespace pff {

namespace {

// Live entries (and odd dead flags) offer no room at all.
constexpr int32_t kNoRoom = std::numeric_limits<int32_t>::min();

int32_t RoomOf(const PffEntry& entry) { return entry.DeadFlag == 1 ? entry.DataSize : kNoRoom; }

}  // namespace

DeadSlots::DeadSlots(const std::vector<PffEntry>& entries) {
  // Room for every index an archive can reach, so that appending never rebuilds the tree.
  const size_t wanted = std::max(entries.size(), static_cast<size_t>(kMaxEntries));
  while (leaves_ < wanted) leaves_ *= 2;
  largest_.assign(2 * leaves_, kNoRoom);
  for (size_t i = 0; i < entries.size(); ++i) largest_[leaves_ + i] = RoomOf(entries[i]);
  for (size_t n = leaves_ - 1; n > 0; --n) largest_[n] = std::max(largest_[2 * n], largest_[2 * n + 1]);
}

int DeadSlots::FirstFit(int32_t size) const {
  if (largest_[1] < size) return 0;
  size_t n = 1;
  while (n < leaves_) n = largest_[2 * n] >= size ? 2 * n : 2 * n + 1;
  return static_cast<int>(n - leaves_ + 1);
}

void DeadSlots::Set(int index, const PffEntry& entry) {
  size_t n = leaves_ + static_cast<size_t>(index - 1);
  largest_[n] = RoomOf(entry);
  for (n /= 2; n > 0; n /= 2) largest_[n] = std::max(largest_[2 * n], largest_[2 * n + 1]);
}

}  // namespace pff
