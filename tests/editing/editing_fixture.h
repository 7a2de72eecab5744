#pragma once
// Archives built byte by byte for the editing tests, independent of the
// program's own writer, and a readable form of the in-memory model.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/archive_table.h"
#include "engine/name_helpers.h"
#include "support/temp_dir.h"

namespace pff::test {

struct FixtureEntry {
  std::string name;
  std::vector<uint8_t> data;
  int32_t deadFlag = 0;
  int32_t fileTime = 0;
};

inline void PutInt32(std::vector<uint8_t>& out, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

inline void PutText(std::vector<uint8_t>& out, const std::string& text) {
  out.insert(out.end(), text.begin(), text.end());
}

inline std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

/// n bytes counting up from first, so misplaced data shows.
inline std::vector<uint8_t> Pattern(size_t n, uint8_t first) {
  std::vector<uint8_t> out(n);
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>(first + i);
  return out;
}

/// Writes an archive whose data regions follow the header in order, then the
/// directory (record bytes past 32 filled with 0xAA), 8 zeros and "KING".
/// Returns the model the program should read from it.
inline PffArchive WriteArchive(const std::string& path, int32_t entrySize,
                               const std::vector<FixtureEntry>& items) {
  PffArchive archive;
  archive.Path = path;
  archive.Header.HeaderSize = entrySize > 32 ? 20 : 62;
  archive.Header.Magic = {'P', 'F', 'F', '3'};
  archive.Header.EntryCount = static_cast<int32_t>(items.size());
  archive.Header.EntrySize = entrySize;
  std::vector<uint8_t> data;
  for (const FixtureEntry& item : items) {
    PffEntry entry;
    entry.DeadFlag = item.deadFlag;
    entry.DataOffset = static_cast<int32_t>(20 + data.size());
    entry.DataSize = static_cast<int32_t>(item.data.size());
    entry.FileTime = item.fileTime;
    entry.Name = MakeEntryName(item.name);
    archive.Entries.push_back(entry);
    data.insert(data.end(), item.data.begin(), item.data.end());
  }
  archive.Header.DirOffset = static_cast<int32_t>(20 + data.size());

  std::vector<uint8_t> bytes;
  PutInt32(bytes, archive.Header.HeaderSize);
  PutText(bytes, "PFF3");
  PutInt32(bytes, archive.Header.EntryCount);
  PutInt32(bytes, entrySize);
  PutInt32(bytes, archive.Header.DirOffset);
  bytes.insert(bytes.end(), data.begin(), data.end());
  for (const PffEntry& entry : archive.Entries) {
    PutInt32(bytes, entry.DeadFlag);
    PutInt32(bytes, entry.DataOffset);
    PutInt32(bytes, entry.DataSize);
    PutInt32(bytes, entry.FileTime);
    bytes.insert(bytes.end(), entry.Name.begin(), entry.Name.end());
    for (int i = 32; i < entrySize; ++i) bytes.push_back(0xAA);
  }
  bytes.insert(bytes.end(), 8, 0);
  PutText(bytes, "KING");
  WriteBytes(path, bytes);
  return archive;
}

/// One line per header and entry, so a mismatch shows where.
inline std::string Describe(const PffArchive& archive) {
  std::ostringstream out;
  const PffHeader& h = archive.Header;
  out << "header " << h.HeaderSize << " " << std::string(h.Magic.data(), 4) << " count " << h.EntryCount
      << " size " << h.EntrySize << " dir " << h.DirOffset << "\n";
  for (const PffEntry& e : archive.Entries) {
    std::string name;
    for (char c : e.Name) name += c == '\0' ? std::string("~") : std::string(1, c);
    out << e.DeadFlag << " " << e.DataOffset << " " << e.DataSize << " " << e.FileTime << " " << name << "\n";
  }
  return out.str();
}

/// The model read back from the file by the program's own reader.
inline PffArchive Reopen(const std::string& path) {
  ArchiveTable table;
  SilentPort port;
  EXPECT_TRUE(OpenFile(table, path, port)) << path;
  return table.IsLoaded ? table.Archive(1) : PffArchive{};
}

inline std::string WriteSource(const TempDir& dir, const std::string& name,
                               const std::vector<uint8_t>& bytes) {
  const std::string path = dir.File(name);
  WriteBytes(path, bytes);
  return path;
}

inline std::vector<uint8_t> Slice(const std::vector<uint8_t>& bytes, size_t offset, size_t n) {
  return {bytes.begin() + static_cast<std::ptrdiff_t>(offset),
          bytes.begin() + static_cast<std::ptrdiff_t>(offset + n)};
}

/// Sets TZ for the scope of a test and puts the old value back.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) old_ = old;
    ::setenv("TZ", zone, 1);
    ::tzset();
  }
  ~ScopedTimeZone() {
    if (old_) {
      ::setenv("TZ", old_->c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  std::optional<std::string> old_;
};

}  // namespace pff::test
