#pragma once
// Entry names by their upper-cased 16 bytes, for a command that adds many
// files: each name search is one table look-up instead of a walk over the
// directory. Built once, then kept up to date as entries are renamed (made
// dead, re-used) or appended; it allocates only when its table grows.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/pff_archive.h"

namespace pff {

class NameIndex {
 public:
  explicit NameIndex(const std::vector<PffEntry>& entries);

  /// Index (1-based) of the first entry whose 16 name bytes equal name without
  /// regard to case, dead entries included; 0 when there is none.
  int Find(const EntryName& name) const;
  /// Entry index (1-based) is now named name.
  void Rename(int index, const EntryName& name);
  /// Entry index (1-based), one past the last, was appended named name.
  void Append(int index, const EntryName& name);

 private:
  using Key = std::array<uint8_t, kNameLength>;
  struct Slot {
    Key key{};
    int32_t first = 0;  // lowest entry index holding the key; 0 when none does
    int32_t count = 0;  // entries holding the key
    bool used = false;
  };

  static Key KeyOf(const EntryName& name);
  size_t SlotOf(const Key& key) const;
  void Add(int index, const Key& key);
  void Remove(int index, const Key& key);
  void Grow();

  std::vector<Slot> slots_;  // open addressing; the size is a power of two
  size_t used_ = 0;
  std::vector<Key> keys_;  // each entry's key, to find the next holder when the first one goes
};

}  // namespace pff
