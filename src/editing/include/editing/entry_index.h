#pragma once
// What a command that adds many files keeps about the directory it adds to,
// so that no addition walks the whole directory: the names, the dead slots,
// and whether the regions the entries describe are known not to overlap.

#include <cstdint>
#include <vector>

#include "editing/dead_slots.h"
#include "editing/name_index.h"
#include "engine/pff_archive.h"

namespace pff {

class EntryIndex {
 public:
  explicit EntryIndex(const std::vector<PffEntry>& entries);

  const NameIndex& Names() const { return names_; }
  const DeadSlots& Slots() const { return slots_; }
  /// True when, for certain, no entry but slot (1-based; 0 for none) describes
  /// a byte of [from, to); false when only a walk over entries can tell.
  bool ProvesFree(const std::vector<PffEntry>& entries, int64_t from, int64_t to, int slot) const;
  /// Entry index (1-based) held before and now holds after.
  void Update(int index, const PffEntry& before, const PffEntry& after);
  /// Entry index (1-based, one past the last) was appended, its data taken
  /// from the tail of dead entry `slot` (0: placed behind the others).
  void Append(int index, const PffEntry& entry, int slot);

 private:
  NameIndex names_;
  DeadSlots slots_;
  bool disjoint_ = true;  // no two entries of a byte or more describe a common byte
  int64_t furthest_;      // the furthest end of any entry's bytes
};

}  // namespace pff
