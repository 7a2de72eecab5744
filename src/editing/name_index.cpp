#include "editing/name_index.h"

#include <cstring>

#include "engine/name_helpers.h"

namespace pff {

NameIndex::NameIndex(const std::vector<PffEntry>& entries) {
  size_t size = 64;
  while (size < 2 * (entries.size() + 1)) size *= 2;
  slots_.resize(size);
  keys_.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) Append(static_cast<int>(i + 1), entries[i].Name);
}

NameIndex::Key NameIndex::KeyOf(const EntryName& name) {
  Key key;
  for (size_t i = 0; i < key.size(); ++i) key[i] = static_cast<uint8_t>(UpperLatin1Char(name[i]));
  return key;
}

size_t NameIndex::SlotOf(const Key& key) const {
  uint64_t low, high;
  std::memcpy(&low, key.data(), 8);
  std::memcpy(&high, key.data() + 8, 8);
  uint64_t hash = (low ^ (high * 0x9E3779B97F4A7C15u)) * 0xC2B2AE3D27D4EB4Fu;
  hash ^= hash >> 29;
  const size_t mask = slots_.size() - 1;
  for (size_t at = hash & mask;; at = (at + 1) & mask) {
    if (!slots_[at].used || slots_[at].key == key) return at;
  }
}

int NameIndex::Find(const EntryName& name) const {
  const Slot& slot = slots_[SlotOf(KeyOf(name))];
  return slot.used ? slot.first : 0;
}

void NameIndex::Rename(int index, const EntryName& name) {
  Key& held = keys_[static_cast<size_t>(index - 1)];
  const Key key = KeyOf(name);
  if (key == held) return;
  Remove(index, held);
  held = key;
  Add(index, key);
}

void NameIndex::Append(int index, const EntryName& name) {
  keys_.push_back(KeyOf(name));
  Add(index, keys_.back());
}

void NameIndex::Add(int index, const Key& key) {
  size_t at = SlotOf(key);
  if (!slots_[at].used) {
    if (2 * (used_ + 1) > slots_.size()) {
      Grow();
      at = SlotOf(key);
    }
    slots_[at].used = true;
    slots_[at].key = key;
    ++used_;
  }
  Slot& slot = slots_[at];
  ++slot.count;
  if (slot.first == 0 || index < slot.first) slot.first = index;
}

void NameIndex::Remove(int index, const Key& key) {
  Slot& slot = slots_[SlotOf(key)];
  --slot.count;
  if (slot.first != index) return;
  slot.first = 0;
  // The other holders all lie behind the first; the walk stops at the nearest.
  for (size_t i = static_cast<size_t>(index); slot.count > 0 && i < keys_.size(); ++i) {
    if (keys_[i] == key) {
      slot.first = static_cast<int32_t>(i + 1);
      return;
    }
  }
}

void NameIndex::Grow() {
  std::vector<Slot> old(slots_.size() * 2);
  old.swap(slots_);
  for (const Slot& slot : old) {
    if (slot.used) slots_[SlotOf(slot.key)] = slot;
  }
}

}  // namespace pff
