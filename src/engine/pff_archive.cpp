#include "engine/pff_archive.h"

#include <algorithm>
#include <cstring>

#include "engine/name_helpers.h"
#include "engine/text_encoding.h"

namespace pff {

std::string NameBytes(const EntryName& name) { return std::string(name.data(), name.size()); }

EntryName MakeEntryName(const std::string& latin1) {
  const std::string padded = PadName16(latin1);
  EntryName name{};
  std::copy_n(padded.begin(), kNameLength, name.begin());
  return name;
}

std::string DisplayName(const EntryName& name) { return Latin1ToUtf8(StripNulls(NameBytes(name))); }

std::string NoSuchEntry(const PffArchive& archive, int index) {
  return "There is no entry " + std::to_string(index) + " in " + archive.Path + ".";
}

EntryName DeadSpaceName() { return MakeEntryName(kDeadSpaceName); }

bool IsDeadSpaceName(const EntryName& name) {
  // Runs for every listed entry, so it compares in place instead of building strings.
  const char* expected = kDeadSpaceName;
  const size_t expectedLength = std::strlen(kDeadSpaceName);
  size_t matched = 0;
  for (char c : name) {
    if (c == '\0') continue;
    if (matched == expectedLength || c != expected[matched]) return false;
    ++matched;
  }
  return matched == expectedLength;
}

EntryTotals CountEntries(const PffArchive& archive) {
  EntryTotals totals;
  for (const PffEntry& entry : archive.Entries) {
    if (entry.DeadFlag == 1) {
      ++totals.Dead;
      totals.DeadBytes += entry.DataSize;
    } else {
      ++totals.Live;
    }
  }
  return totals;
}

void MakeDead(PffEntry& entry) {
  entry.DeadFlag = 1;
  entry.Name = DeadSpaceName();
}

}  // namespace pff
