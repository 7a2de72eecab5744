#pragma once
// Archives built byte by byte for the editing tests, independent of the
// program's own writer, and a readable form of the in-memory model.

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "editing/engine_options.h"
#include "engine/archive_table.h"
#include "engine/binary_file.h"
#include "engine/name_helpers.h"
#include "support/recording_port.h"
#include "support/scoped_time_zone.h"
#include "support/temp_dir.h"

namespace pff::test {

struct FixtureEntry {
  std::string name;
  std::vector<uint8_t> data;
  int32_t deadFlag = 0;
  int32_t fileTime = 0;
};

inline void PutInt32(std::vector<uint8_t>& out, int32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(uint32_t(value) >> shift));
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

inline std::vector<uint8_t> Slice(const std::vector<uint8_t>& bytes, size_t offset, size_t n) {
  return {bytes.begin() + offset, bytes.begin() + offset + n};
}
inline EngineOptions Options(bool reuse, bool overwrite = false) { return {overwrite, reuse}; }

/// Writes an archive whose data regions follow the header in order, then the
/// directory (record bytes past 32 filled with 0xAA), 8 zeros and "KING".
/// Returns the model the program should read from it.
inline PffArchive WriteArchive(const std::string& path, int32_t entrySize,
                               const std::vector<FixtureEntry>& items) {
  PffArchive archive{path, {entrySize > 32 ? 20 : 62, {'P', 'F', 'F', '3'}, 0, entrySize, 0}, {}};
  std::vector<uint8_t> data, directory;
  for (const FixtureEntry& item : items) {
    const PffEntry entry{item.deadFlag, static_cast<int32_t>(20 + data.size()),
                         static_cast<int32_t>(item.data.size()), item.fileTime, MakeEntryName(item.name)};
    archive.Entries.push_back(entry);
    data.insert(data.end(), item.data.begin(), item.data.end());
    for (int32_t field : {entry.DeadFlag, entry.DataOffset, entry.DataSize, entry.FileTime}) {
      PutInt32(directory, field);
    }
    directory.insert(directory.end(), entry.Name.begin(), entry.Name.end());
    directory.insert(directory.end(), static_cast<size_t>(entrySize - 32), 0xAA);
  }
  PffHeader& h = archive.Header;
  h.EntryCount = static_cast<int32_t>(items.size());
  h.DirOffset = static_cast<int32_t>(20 + data.size());
  std::vector<uint8_t> bytes;
  PutInt32(bytes, h.HeaderSize);
  PutText(bytes, "PFF3");
  for (int32_t field : {h.EntryCount, entrySize, h.DirOffset}) PutInt32(bytes, field);
  bytes.insert(bytes.end(), data.begin(), data.end());
  bytes.insert(bytes.end(), directory.begin(), directory.end());
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
    std::string name = NameBytes(e.Name);
    for (char& c : name) c = c == '\0' ? '~' : c;
    out << e.DeadFlag << " " << e.DataOffset << " " << e.DataSize << " " << e.FileTime << " " << name << "\n";
  }
  return out.str();
}

/// Dead flag, offset and size of every entry, then where the directory starts: "1@20+50 0@70+0 dir 70".
inline std::string Layout(const PffArchive& archive) {
  std::string out;
  for (const PffEntry& e : archive.Entries) {
    out += std::to_string(e.DeadFlag) + "@" + std::to_string(e.DataOffset) + "+" +
           std::to_string(e.DataSize) + " ";
  }
  return out + "dir " + std::to_string(archive.Header.DirOffset);
}

/// Bytes 32 to 35 of every 36-byte record are zero (WriteArchive leaves 0xAA there).
inline void ExpectZeroRecordTails(const PffArchive& archive) {
  const std::vector<uint8_t> bytes = ReadBytes(archive.Path);
  for (int i = 0; i < archive.Header.EntryCount; ++i) {
    EXPECT_EQ(Slice(bytes, size_t(archive.Header.DirOffset + i * 36 + 32), 4), std::vector<uint8_t>(4, 0))
        << "record " << i + 1;
  }
}

/// The model read back from the file by the program's own reader.
inline PffArchive Reopen(const std::string& path) {
  ArchiveTable table;
  SilentFrontend port;
  EXPECT_TRUE(OpenFile(table, path, port)) << path;
  return table.IsLoaded() ? table.Archive(1) : PffArchive{};
}

inline std::string WriteSource(const TempDir& dir, const std::string& name,
                               const std::vector<uint8_t>& bytes) {
  WriteBytes(dir.File(name), bytes);
  return dir.File(name);
}

/// A scratch folder, a recording window, and no armed file faults afterwards.
class EditingTest : public ::testing::Test {
 protected:
  void TearDown() override { FileFaults::Clear(); }
  TempDir dir_;
  RecordingPort port_;
};

}  // namespace pff::test
