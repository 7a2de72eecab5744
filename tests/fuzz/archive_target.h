#pragma once
// One fuzz run: the input is written as an archive file, opened, listed,
// checked, extracted, edited (add, replace, rename, delete) and compacted. The oracle:
// after every successful change the file reads back as exactly the table in
// memory, and the check finds no kind of error that the input did not have.
// Header-only so that the libFuzzer program and the corpus replay test share it.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "editing/add_file.h"
#include "editing/compact_archive.h"
#include "editing/delete_rename.h"
#include "editing/extract_file.h"
#include "engine/archive_check.h"
#include "engine/archive_table.h"
#include "engine/pff_format.h"
#include "listing/filter.h"
#include "listing/grid_rows.h"

namespace pff::fuzz {

namespace fs = std::filesystem;

/// A scratch folder for the whole process (fuzzing runs millions of inputs).
inline const fs::path& ScratchFolder() {
  static const fs::path folder = [] {
    // A random name and a folder that must be new: two fuzzers never share one.
    std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
      fs::path folder = fs::temp_directory_path() / ("vellum-fuzz-" + std::to_string(random()));
      if (fs::create_directory(folder)) return folder;
    }
    throw std::runtime_error("no scratch folder");
  }();
  return folder;
}

inline void WriteFileBytes(const fs::path& path, const uint8_t* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

inline std::vector<uint8_t> ReadFileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Deleting one of two overlapping live entries turns a live overlap into a
// dead one: the same fault, so the two count as one kind here.
inline std::set<CheckKind> ErrorKinds(const std::string& path) {
  std::set<CheckKind> kinds;
  for (const CheckFinding& f : CheckArchive(path).Findings) {
    if (f.Level == Severity::Error)
      kinds.insert(f.Kind == CheckKind::DeadOverlap ? CheckKind::Overlap : f.Kind);
  }
  return kinds;
}

inline bool SameRecords(const PffArchive& a, const PffArchive& b) {
  uint8_t ha[kHeaderBytes], hb[kHeaderBytes];
  EncodeHeader(a.Header, ha);
  EncodeHeader(b.Header, hb);
  if (std::memcmp(ha, hb, sizeof ha) != 0 || a.Entries.size() != b.Entries.size()) return false;
  for (size_t i = 0; i < a.Entries.size(); ++i) {
    uint8_t ra[kRecordBytes], rb[kRecordBytes];
    EncodeRecord(a.Entries[i], ra);
    EncodeRecord(b.Entries[i], rb);
    if (std::memcmp(ra, rb, sizeof ra) != 0) return false;
  }
  return true;
}

class Run {
 public:
  Run(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  /// "" when every oracle held, else what went wrong.
  std::string Go() {
    const fs::path folder = ScratchFolder();
    const fs::path out = folder / "out";
    archivePath_ = (folder / "archive.pff").string();
    fs::remove_all(out);
    fs::create_directory(out);
    WriteFileBytes(archivePath_, data_, size_);
    const uint8_t selector = size_ ? data_[size_ - 1] : 0;
    const std::vector<uint8_t> content(static_cast<size_t>(selector >> 3) * 7, selector);
    const std::string added = (folder / "NEW.TXT").string();
    WriteFileBytes(added, content.data(), content.size());

    baseline_ = ErrorKinds(archivePath_);
    ArchiveTable table;
    if (!OpenFile(table, archivePath_, port_)) return {};
    PffArchive& archive = table.Archive(1);
    ListAndExtract(table, out.string());

    EngineOptions options;
    options.AlwaysOverwrite = true;
    options.ReUseDeadSpaces = (selector & 1) != 0;
    if (Wrote(AddFile(added, archive, options, port_)) && !Oracle(archive, "add")) return fault_;
    if (Wrote(AddFile(added, archive, options, port_)) && !Oracle(archive, "replace")) return fault_;
    const int count = static_cast<int>(archive.Entries.size());
    const int pick = count > 0 ? 1 + (selector >> 1) % count : 1;
    // Renaming dead space makes it live, as asked: dead space outside the file
    // then becomes a live entry outside the file, no fault of the rename.
    const bool revives = archive.HasEntry(pick) && archive.Entry(pick).DeadFlag == 1;
    if (CheckNewName(archive, "RENAMED.BIN") == RenameCheck::Ok &&
        RenameFile(archive, pick, "RENAMED.BIN", port_) && !Oracle(archive, "rename", !revives))
      return fault_;
    if (DeleteFiles(archive, {pick, 1}, port_) && !Oracle(archive, "delete")) return fault_;
    Compact(archive);
    return fault_;
  }

 private:
  // Grid texts of the first rows (all of them would make each run slow), and
  // extracted files compared with the bytes of the input.
  void ListAndExtract(const ArchiveTable& table, const std::string& out) {
    FilterSettings filter;
    const std::vector<GridRow> rows = ListGridRows(table, kAllArchives, true, filter);
    for (size_t r = 0; r < rows.size() && r < 64; ++r) {
      for (int column = 0; column < kGridColumns; ++column) {
        GridCellText(table, rows[r], column, r % 2 ? DateStyle::Good : DateStyle::Bad);
      }
    }
    const PffArchive& archive = table.Archive(1);
    Extraction extraction(archive, out, port_);
    for (int index = 1; index <= std::min<int>(4, static_cast<int>(archive.Entries.size())); ++index) {
      const std::optional<std::string> written = extraction.Extract(index);
      if (!written) continue;
      const PffEntry& entry = archive.Entry(index);
      const std::vector<uint8_t> expected(data_ + entry.DataOffset,
                                          data_ + entry.DataOffset + entry.DataSize);
      if (ReadFileBytes(*written) != expected)
        fault_ = "extracted entry " + std::to_string(index) + " differs";
    }
  }

  // Every live entry keeps its bytes through a compaction.
  void Compact(PffArchive& archive) {
    // An append at a far directory offset leaves a sparse file of up to 2 GiB;
    // reading that back whole would measure this program, not the engine.
    if (fs::file_size(archivePath_) > (1u << 20)) return;
    std::vector<std::vector<uint8_t>> live;
    const std::vector<uint8_t> before = ReadFileBytes(archivePath_);
    for (const PffEntry& e : archive.Entries) {
      if (e.DeadFlag == 1) continue;
      if (e.DataOffset < 0 || e.DataSize < 0 || int64_t{e.DataOffset} + e.DataSize > int64_t(before.size()))
        return;
      live.emplace_back(before.begin() + e.DataOffset, before.begin() + e.DataOffset + e.DataSize);
    }
    if (!CompactArchive(archive, false, port_) || !Oracle(archive, "compact")) return;
    const std::vector<uint8_t> after = ReadFileBytes(archivePath_);
    if (archive.Entries.size() != live.size()) fault_ = "compact: live entries were lost or added";
    for (size_t i = 0; i < live.size() && fault_.empty(); ++i) {
      const PffEntry& e = archive.Entries[i];
      if (!std::equal(live[i].begin(), live[i].end(), after.begin() + e.DataOffset))
        fault_ = "compact: entry " + std::to_string(i + 1) + " changed its bytes";
    }
  }

  bool Oracle(const PffArchive& archive, const std::string& step, bool checkKinds = true) {
    if (!fault_.empty()) return false;
    ArchiveTable reread;
    if (!OpenFile(reread, archivePath_, port_)) {
      fault_ = step + ": the archive no longer opens";
      return false;
    }
    if (!SameRecords(reread.Archive(1), archive)) {
      fault_ = step + ": the file reads back other than the table in memory";
      return false;
    }
    for (CheckKind kind : ErrorKinds(archivePath_)) {
      if (checkKinds && !baseline_.count(kind)) {
        fault_ =
            step + ": the check finds a new kind of error (" + std::to_string(static_cast<int>(kind)) + ")";
        return false;
      }
    }
    return true;
  }

  const uint8_t* data_;
  size_t size_;
  std::string archivePath_;
  std::set<CheckKind> baseline_;
  std::string fault_;
  SilentFrontend port_;
};

/// Runs one input; "" when all went well, else a description of the fault.
inline std::string RunArchiveInput(const uint8_t* data, size_t size) {
  Run run(data, size);
  return run.Go();
}

}  // namespace pff::fuzz
