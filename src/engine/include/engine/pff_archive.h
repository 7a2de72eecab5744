#pragma once
// The in-memory form of an open archive: its path, header and directory.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace pff {

constexpr int kNameLength = 16;         // bytes of an entry name, NUL padded
constexpr int kHeaderBytes = 20;        // header at offset 0
constexpr int kRecordBytes = 32;        // meaningful bytes of a directory record
constexpr int32_t kMaxEntries = 32767;  // indices are 16-bit signed
constexpr const char* kVersion = VELLUM_VERSION;
constexpr const char* kDeadSpaceName = "<DEAD SPACE>";

/// Sixteen single-byte (Latin-1) characters, padded with NULs, no terminator.
using EntryName = std::array<char, kNameLength>;

struct PffEntry {
  int32_t DeadFlag = 0;  // 0 live, 1 dead space
  int32_t DataOffset = 0;
  int32_t DataSize = 0;
  int32_t FileTime = 0;  // see file_time.h
  EntryName Name{};
};

struct PffHeader {
  int32_t HeaderSize = 0;  // kept and written back, never interpreted
  std::array<char, 4> Magic{};
  int32_t EntryCount = 0;
  int32_t EntrySize = 0;
  int32_t DirOffset = 0;
};

/// One open archive. Entries always holds exactly Header.EntryCount elements;
/// entry i (1-based, as everywhere the program shows an index) is Entries[i - 1].
struct PffArchive {
  std::string Path;  // UTF-8 path as opened or created
  PffHeader Header;
  std::vector<PffEntry> Entries;

  bool HasEntry(int index) const {
    return index >= 1 && index <= Header.EntryCount && static_cast<size_t>(index) <= Entries.size();
  }
  PffEntry& Entry(int index) { return Entries.at(static_cast<size_t>(index - 1)); }
  const PffEntry& Entry(int index) const { return Entries.at(static_cast<size_t>(index - 1)); }
};

/// The 16 name bytes as a string (NULs included).
std::string NameBytes(const EntryName& name);
/// PadName16(text) cut to the 16-byte field.
EntryName MakeEntryName(const std::string& latin1);
/// The name as a person reads it: NULs removed, Latin-1 turned into UTF-8.
std::string DisplayName(const EntryName& name);
/// The description of a missing entry: "There is no entry N in PATH."
std::string NoSuchEntry(const PffArchive& archive, int index);
/// "<DEAD SPACE>" padded to 16.
EntryName DeadSpaceName();
/// True when the name, NULs removed, is exactly "<DEAD SPACE>" (how the grid recognises dead space).
bool IsDeadSpaceName(const EntryName& name);
struct EntryTotals {
  int64_t Live = 0, Dead = 0, DeadBytes = 0;  // dead: DeadFlag exactly 1
};
/// Live and dead entries of archive, and the bytes the dead ones describe.
EntryTotals CountEntries(const PffArchive& archive);
/// Turns an entry into dead space in place; offset, size and time stay.
void MakeDead(PffEntry& entry);

}  // namespace pff
