#pragma once
// The first-fit search for re-usable dead space, for a command that adds many
// files: the first dead entry (directory order) of at least a given size in
// logarithmic time, from a tree of the largest dead size below each node.

#include <cstdint>
#include <vector>

#include "engine/pff_archive.h"

namespace pff {

class DeadSlots {
 public:
  explicit DeadSlots(const std::vector<PffEntry>& entries);

  /// Index (1-based) of the first entry with DeadFlag exactly 1 and DataSize
  /// of at least size; 0 when there is none.
  int FirstFit(int32_t size) const;
  /// Entry index (1-based, at most one past the last) now reads entry.
  void Set(int index, const PffEntry& entry);

 private:
  std::vector<int32_t> largest_;  // heap order: node n has children 2n and 2n + 1; leaves from leaves_ on
  size_t leaves_ = 1;
};

}  // namespace pff
