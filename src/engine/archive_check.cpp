#include "engine/archive_check.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <unordered_map>

#include "engine/binary_file.h"
#include "engine/control_text.h"
#include "engine/entry_file_name.h"
#include "engine/entry_region.h"
#include "engine/file_system.h"
#include "engine/journal.h"
#include "engine/name_helpers.h"
#include "engine/pff_format.h"
#include "engine/text_encoding.h"

namespace pff {

namespace {

constexpr int64_t kMaxEntrySize = 4096;
constexpr size_t kReadBlock = 1 << 20;  // directory bytes read at a time

struct Region {
  int64_t Start, End;
  int Index;
};

class Checker {
 public:
  Checker(CheckReport& report, BinaryFile& file) : report_(report), file_(file), length_(file.Length()) {}

  void Run() {
    if (length_ < kHeaderBytes) {
      Add(Severity::Error, CheckKind::Unreadable,
          "The file is " + std::to_string(length_) + " bytes long, too short for an archive header.");
      return;
    }
    uint8_t raw[kHeaderBytes];
    file_.ReadExactAt(0, raw, kHeaderBytes);
    header_ = DecodeHeader(raw);
    CheckHeader();
    ReadRecords();
    CheckFooter();
    CheckEntries();
  }

 private:
  void Add(Severity level, CheckKind kind, const std::string& text, int entry = 0) {
    std::string name;
    if (entry != 0) name = EscapeControls(DisplayName(entries_[static_cast<size_t>(entry - 1)].Name));
    report_.Findings.push_back({level, entry, name, text, kind});
  }

  void CheckHeader() {
    const PffHeader& h = header_;
    if (h.HeaderSize != 20 && h.HeaderSize != 62) {
      Add(Severity::Warning, CheckKind::HeaderField,
          "HeaderSize is " + std::to_string(h.HeaderSize) + "; archives are made with 20 or 62.");
    }
    if (std::memcmp(h.Magic.data(), "PFF3", 4) != 0) {
      const std::string magic = EscapeControls(Latin1ToUtf8(std::string(h.Magic.data(), 4)));
      Add(Severity::Warning, CheckKind::HeaderField, "The magic is \"" + magic + "\", not \"PFF3\".");
    }
    if (h.EntrySize < kRecordBytes || h.EntrySize > kMaxEntrySize) {
      Add(Severity::Error, CheckKind::EntrySize,
          "EntrySize " + std::to_string(h.EntrySize) + " lies outside 32 to 4,096 bytes.");
    } else if (h.EntrySize != 32 && h.EntrySize != 36) {
      Add(Severity::Warning, CheckKind::EntrySize,
          "EntrySize " + std::to_string(h.EntrySize) + " is unusual; archives are made with 32 or 36.");
    }
    if (h.EntryCount < 0 || h.EntryCount > kMaxEntries) {
      Add(Severity::Error, CheckKind::EntryCount,
          "The header claims " + std::to_string(h.EntryCount) + " entries; an archive holds 0 to 32,767.");
    }
    wanted_ = std::clamp<int32_t>(h.EntryCount, 0, kMaxEntries);
    if (wanted_ > 0 && h.DirOffset < kHeaderBytes) {
      Add(Severity::Error, CheckKind::Directory,
          "The directory offset " + std::to_string(h.DirOffset) + " lies inside the 20-byte header.");
    }
    stride_ = RecordStride(h);
    dirEnd_ = int64_t{h.DirOffset} + int64_t{wanted_} * stride_;
  }

  // Reads the records that lie inside the file, a block at a time, so that
  // neither the claimed count nor the stride decides how much memory is used.
  void ReadRecords() {
    const int64_t offset = header_.DirOffset;
    int64_t present = 0;
    if (wanted_ > 0 && offset >= 0 && length_ - offset >= kRecordBytes) {
      present = std::min<int64_t>(wanted_, (length_ - offset - kRecordBytes) / stride_ + 1);
    }
    entries_.reserve(static_cast<size_t>(present));
    const int64_t perBlock = std::max<int64_t>(1, static_cast<int64_t>(kReadBlock) / stride_);
    std::vector<uint8_t> block;
    for (int64_t first = 0; first < present; first += perBlock) {
      const int64_t count = std::min(perBlock, present - first);
      block.resize(static_cast<size_t>((count - 1) * stride_ + kRecordBytes));
      file_.ReadExactAt(offset + first * stride_, block.data(), block.size());
      for (int64_t i = 0; i < count; ++i) entries_.push_back(DecodeRecord(block.data() + i * stride_));
    }
    report_.EntryCount = static_cast<int>(present);
    if (present < wanted_) {
      Add(Severity::Error, CheckKind::Directory,
          "The directory (" + std::to_string(wanted_) + " records at offset " + std::to_string(offset) +
              ") runs past the end of the file of " + std::to_string(length_) +
              " bytes: " + std::to_string(present) + " records are there.");
    }
  }

  bool FooterAt(int64_t offset) {
    uint8_t bytes[kFooterZeros + 4];
    if (offset < 0 || offset > length_ - static_cast<int64_t>(sizeof bytes)) return false;
    file_.ReadExactAt(offset, bytes, sizeof bytes);
    static const uint8_t kExpected[kFooterZeros + 4] = {0, 0, 0, 0, 0, 0, 0, 0, 'K', 'I', 'N', 'G'};
    return std::memcmp(bytes, kExpected, sizeof bytes) == 0;
  }

  void CheckFooter() {
    if (report_.EntryCount < wanted_) return;  // already an error; no footer to look for
    // An archive never written since it was created has its footer at the very end.
    if (FooterAt(dirEnd_) || (wanted_ == 0 && FooterAt(length_ - kFooterZeros - 4))) return;
    Add(Severity::Warning, CheckKind::Footer,
        "No footer (8 zero bytes and \"KING\") follows the directory at offset " + std::to_string(dirEnd_) +
            ".");
  }

  // Live data and dead space alike: dead space is the room a later addition
  // writes into, so it must lie where data may lie and hold no one's data.
  void CheckBounds(const PffEntry& e, int index, bool dead) {
    const RegionFault fault = EntryRegionFault(e, header_, length_);
    if (fault != RegionFault::None) {
      Add(Severity::Error, CheckKind::DataBounds,
          RegionFaultText(fault, dead ? "The dead space" : "The data", e, header_, length_), index);
    }
    if (InsideFile(fault)) ++report_.IntactEntries;
    if (fault == RegionFault::Negative || e.DataSize == 0) return;
    // Overlaps are a fault of the directory, whatever the file's length; an
    // edit that lengthens the file must not reveal them as new.
    (dead ? dead_ : live_).push_back({e.DataOffset, int64_t{e.DataOffset} + e.DataSize, index});
  }

  void CheckEntries() {
    std::unordered_map<std::string, int> firstOfName;
    for (size_t i = 0; i < entries_.size(); ++i) {
      const PffEntry& e = entries_[i];
      const int index = static_cast<int>(i + 1);
      if (e.DeadFlag != 0 && e.DeadFlag != 1) {
        Add(Severity::Warning, CheckKind::DeadFlag,
            "The dead flag is " + std::to_string(e.DeadFlag) + "; 0 or 1 expected.", index);
      }
      if (e.DeadFlag == 1) {
        if (e.DataSize > 0) report_.DeadBytes += e.DataSize;
        CheckBounds(e, index, true);
        continue;
      }
      CheckBounds(e, index, false);
      const auto [first, inserted] = firstOfName.emplace(UpperLatin1(NameBytes(e.Name)), index);
      if (!inserted) {
        Add(Severity::Warning, CheckKind::DuplicateName,
            "The name is also that of entry " + std::to_string(first->second) + " (letter case aside).",
            index);
      }
      if (!EntryFileName(e)) {
        Add(Severity::Warning, CheckKind::FileName, "The name cannot be used as a file name.", index);
      }
    }
    CheckOverlaps();
  }

  // Sorts regions by start and returns, for each, the furthest reaching region up to it.
  static std::vector<Region> SortWithReach(std::vector<Region>& regions) {
    std::sort(regions.begin(), regions.end(), [](const Region& a, const Region& b) {
      return a.Start < b.Start || (a.Start == b.Start && a.Index < b.Index);
    });
    std::vector<Region> reach;
    reach.reserve(regions.size());
    for (const Region& r : regions)
      reach.push_back(reach.empty() || r.End > reach.back().End ? r : reach.back());
    return reach;
  }

  // Each region that starts before an earlier sorted one has ended overlaps it.
  void AddSortedOverlaps(const std::vector<Region>& regions, const std::vector<Region>& reach, CheckKind kind,
                         const std::string& text) {
    for (size_t i = 1; i < regions.size(); ++i) {
      if (regions[i].Start < reach[i - 1].End)
        Add(Severity::Error, kind, text + std::to_string(reach[i - 1].Index) + ".", regions[i].Index);
    }
  }

  void CheckOverlaps() {
    const std::vector<Region> reach = SortWithReach(live_);
    AddSortedOverlaps(live_, reach, CheckKind::Overlap, "The data overlaps that of entry ");
    for (const Region& d : dead_) {
      // Live regions starting before the dead one ends; the furthest of them decides.
      const auto after = std::lower_bound(live_.begin(), live_.end(), d.End,
                                          [](const Region& r, int64_t end) { return r.Start < end; });
      if (after == live_.begin()) continue;
      const Region& furthest = reach[static_cast<size_t>(after - live_.begin() - 1)];
      if (furthest.End > d.Start) {
        Add(Severity::Error, CheckKind::DeadOverlap,
            "The dead space overlaps the data of entry " + std::to_string(furthest.Index) +
                "; re-using it would destroy that data.",
            d.Index);
      }
    }
    // Two dead regions over one byte: re-using one would write into the other.
    std::vector<Region> dead = dead_;
    AddSortedOverlaps(dead, SortWithReach(dead), CheckKind::DeadOverlap,
                      "The dead space overlaps the dead space of entry ");
  }

  CheckReport& report_;
  BinaryFile& file_;
  const int64_t length_;
  PffHeader header_;
  int32_t wanted_ = 0;  // records the directory should hold, at most 32,767
  int64_t stride_ = kRecordBytes;
  int64_t dirEnd_ = 0;
  std::vector<PffEntry> entries_;
  std::vector<Region> live_, dead_;
};

}  // namespace

int CheckReport::Errors() const {
  int n = 0;
  for (const CheckFinding& f : Findings) n += f.Level == Severity::Error;
  return n;
}

int CheckReport::Warnings() const { return static_cast<int>(Findings.size()) - Errors(); }

CheckReport CheckArchive(const std::string& path) {
  CheckReport report;
  report.Path = path;
  try {
    BinaryFile file = BinaryFile::Open(path, BinaryFile::Mode::Read);
    Checker(report, file).Run();
  } catch (const std::exception& e) {
    report.Findings.push_back({Severity::Error, 0, {}, EscapeControls(e.what()), CheckKind::Unreadable});
  }
  try {
    if (StatPath(JournalPath(path), false).Exists) {
      report.Findings.push_back({Severity::Error,
                                 0,
                                 {},
                                 "A journal of an interrupted change is pending (" + JournalPath(path) +
                                     "); opening the archive undoes that change.",
                                 CheckKind::Journal});
    }
  } catch (const std::exception& e) {
    report.Findings.push_back({Severity::Error, 0, {}, EscapeControls(e.what()), CheckKind::Journal});
  }
  return report;
}

std::string FindingText(const CheckFinding& finding) {
  std::string text = finding.Level == Severity::Error ? "error: " : "warning: ";
  if (finding.Entry != 0) text += "entry " + std::to_string(finding.Entry) + " \"" + finding.Name + "\": ";
  return text + finding.Text;
}

std::string CheckSummary(const CheckReport& report) {
  return report.Path + ": " + std::to_string(report.Errors()) + " errors, " +
         std::to_string(report.Warnings()) + " warnings, " + std::to_string(report.EntryCount) +
         " entries (" + std::to_string(report.IntactEntries) + " intact)";
}

}  // namespace pff
