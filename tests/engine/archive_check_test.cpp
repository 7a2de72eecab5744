#include "engine/archive_check.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <utility>

#include "editing/editing_fixture.h"
#include "engine/control_text.h"
#include "engine/journal.h"

namespace pff::test {
namespace {

using Patch = std::function<void(std::vector<uint8_t>&)>;
using Kinds = std::set<std::pair<Severity, CheckKind>>;

void SetInt32(std::vector<uint8_t>& bytes, size_t offset, int32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(uint32_t(value) >> (8 * i));
}

Kinds KindsOf(const CheckReport& report) {
  Kinds kinds;
  for (const CheckFinding& f : report.Findings) kinds.insert({f.Level, f.Kind});
  return kinds;
}

constexpr auto E = Severity::Error;
constexpr auto W = Severity::Warning;

// Three live entries of 4 bytes at 20, 24, 28 and a dead one of 4 at 32;
// 36-byte records from 36 on, then the footer.
class ArchiveCheckTest : public ::testing::Test {
 protected:
  CheckReport Check(const Patch& patch, int32_t entrySize = 36) {
    WriteArchive(path_, entrySize,
                 {{"A.TXT", Pattern(4, 1)},
                  {"B.TXT", Pattern(4, 5)},
                  {"C.TXT", Pattern(4, 9)},
                  {"<DEAD SPACE>", Pattern(4, 13), 1}});
    std::vector<uint8_t> bytes = ReadBytes(path_);
    if (patch) patch(bytes);
    WriteBytes(path_, bytes);
    return CheckArchive(path_);
  }
  static size_t Record(int index, int field) { return size_t(36 + (index - 1) * 36 + field * 4); }

  TempDir dir_;
  std::string path_ = dir_.File("a.pff");
};

TEST_F(ArchiveCheckTest, EachFaultIsFoundWithItsSeverity) {
  const struct {
    const char* label;
    Patch patch;
    Kinds expected;
  } cases[] = {
      {"whole archive", nullptr, {}},
      {"header size and magic",
       [](auto& b) { SetInt32(b, 0, 99), b[7] = 0x1B; },
       {{W, CheckKind::HeaderField}}},
      {"negative count", [](auto& b) { SetInt32(b, 8, -1); }, {{E, CheckKind::EntryCount}}},
      {"count past 32767",
       [](auto& b) { SetInt32(b, 8, 40000); },
       {{E, CheckKind::EntryCount}, {E, CheckKind::Directory}}},
      {"no footer", [](auto& b) { b[b.size() - 1] = 'X'; }, {{W, CheckKind::Footer}}},
      {"data past the end", [](auto& b) { SetInt32(b, Record(2, 1), 100000); }, {{E, CheckKind::DataBounds}}},
      {"data in the header", [](auto& b) { SetInt32(b, Record(2, 1), 10); }, {{E, CheckKind::DataBounds}}},
      {"data over the directory",
       [](auto& b) { SetInt32(b, Record(2, 1), 40); },
       {{E, CheckKind::DataBounds}}},
      {"live over live", [](auto& b) { SetInt32(b, Record(3, 1), 27); }, {{E, CheckKind::Overlap}}},
      {"dead over live", [](auto& b) { SetInt32(b, Record(4, 1), 31); }, {{E, CheckKind::DeadOverlap}}},
      // Dead space is room for new data: it keeps to where data may lie and away from other dead space.
      {"dead over the directory",
       [](auto& b) { SetInt32(b, Record(4, 2), 8); },
       {{E, CheckKind::DataBounds}}},
      {"dead in the header", [](auto& b) { SetInt32(b, Record(4, 1), 10); }, {{E, CheckKind::DataBounds}}},
      {"dead over dead",
       [](auto& b) { SetInt32(b, Record(3, 0), 1), SetInt32(b, Record(3, 1), 30); },
       {{E, CheckKind::DeadOverlap}}},
      // Entries of 0 bytes lie nowhere, but must not point past the end of the file.
      {"empty live entry in the header",
       [](auto& b) { SetInt32(b, Record(2, 1), 5), SetInt32(b, Record(2, 2), 0); },
       {}},
      {"empty dead space past the end",
       [](auto& b) { SetInt32(b, Record(4, 1), 100000), SetInt32(b, Record(4, 2), 0); },
       {{E, CheckKind::DataBounds}}},
      {"dead flag 7", [](auto& b) { SetInt32(b, Record(1, 0), 7); }, {{W, CheckKind::DeadFlag}}},
      {"same name in another case", [](auto& b) { b[Record(2, 4)] = 'a'; }, {{W, CheckKind::DuplicateName}}},
      {"name with a slash", [](auto& b) { b[Record(2, 4) + 1] = '/'; }, {{W, CheckKind::FileName}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const CheckReport report = Check(c.patch);
    EXPECT_EQ(KindsOf(report), c.expected);
    for (const CheckFinding& f : report.Findings) SCOPED_TRACE(FindingText(f));
  }
}

TEST_F(ArchiveCheckTest, HeaderLimits) {
  // A directory in the header: the records then read are header and data bytes, whatever else they show.
  EXPECT_EQ(KindsOf(Check([](auto& b) { SetInt32(b, 16, 4); })).count({E, CheckKind::Directory}), 1u);
  EXPECT_EQ(KindsOf(Check(nullptr, 32)), Kinds{});
  // Only empty files added to an older-flavour archive: the directory stays at 20, right behind the header.
  WriteArchive(path_, 32, {{"A.TXT", {}}, {"B.TXT", {}}});
  EXPECT_EQ(KindsOf(CheckArchive(path_)), Kinds{});
  EXPECT_EQ(KindsOf(Check(nullptr, 40)), (Kinds{{W, CheckKind::EntrySize}}));
  EXPECT_EQ(KindsOf(Check(nullptr, 4097)), (Kinds{{E, CheckKind::EntrySize}}));
  // A huge stride with the largest count: read record by record, nothing allocated for the claim.
  const CheckReport report = Check([](auto& b) { SetInt32(b, 8, 32767), SetInt32(b, 12, 0x70000000); });
  EXPECT_EQ(report.EntryCount, 1);
}

TEST_F(ArchiveCheckTest, EachRegionInsideAnotherOverlapsIt) {
  // A grows over B and C: the two lie inside it, though not inside each other.
  const CheckReport report = Check([](auto& b) { SetInt32(b, Record(1, 2), 12); });
  std::vector<std::string> texts;
  for (const CheckFinding& f : report.Findings) texts.push_back(FindingText(f));
  EXPECT_EQ(texts,
            (std::vector<std::string>{"error: entry 2 \"B.TXT\": The data overlaps that of entry 1.",
                                      "error: entry 3 \"C.TXT\": The data overlaps that of entry 1."}));
}

TEST_F(ArchiveCheckTest, ATruncatedDirectoryIsReadAsFarAsItGoes) {
  // Cut in the third record: two records remain, both intact.
  const CheckReport report = Check([](auto& b) { b.resize(Record(3, 2)); });
  EXPECT_EQ(KindsOf(report), (Kinds{{E, CheckKind::Directory}}));
  EXPECT_EQ(report.EntryCount, 2);
  EXPECT_EQ(report.IntactEntries, 2);
  EXPECT_EQ(CheckSummary(report), path_ + ": 1 errors, 0 warnings, 2 entries (2 intact)");
}

TEST_F(ArchiveCheckTest, FreshArchivesAndAPendingJournal) {
  for (Flavour flavour : {Flavour::Old, Flavour::New}) {
    WriteBytes(path_, NewArchiveBytes(flavour));
    EXPECT_EQ(KindsOf(CheckArchive(path_)), Kinds{});
  }
  WriteBytes(JournalPath(path_), Bytes("x"));
  EXPECT_EQ(KindsOf(CheckArchive(path_)), (Kinds{{E, CheckKind::Journal}}));
  EXPECT_EQ(KindsOf(CheckArchive(dir_.File("missing.pff"))), (Kinds{{E, CheckKind::Unreadable}}));
}

TEST_F(ArchiveCheckTest, NamesAreShownWithControlBytesEscaped) {
  const CheckReport report = Check([](auto& b) { b[Record(2, 4)] = 0x1B, b[Record(2, 4) + 1] = '/'; });
  ASSERT_EQ(report.Findings.size(), 1u);
  EXPECT_EQ(FindingText(report.Findings[0]),
            "warning: entry 2 \"\\x1B/TXT\": The name cannot be used as a file name.");
}

TEST(EscapeControls, ControlCharactersBecomeHexEscapes) {
  // Latin-1 letters and the no-break space stay; C0, DEL and C1 (the one-byte CSI) in UTF-8 do not.
  // clang-format off
  const std::pair<std::string, std::string> cases[] = {
      {"plain \xC3\xA9", "plain \xC3\xA9"}, {"\x1B[2J\x07", "\\x1B[2J\\x07"}, {"a\x7Fz", "a\\x7Fz"},
      {"\xC2\x9B[1m", "\\x9B[1m"}, {"\xC2\xA0", "\xC2\xA0"}, {"tab\there", "tab\\x09here"}};
  // clang-format on
  for (const auto& [in, out] : cases) EXPECT_EQ(EscapeControls(in), out) << in;
  EXPECT_EQ(EscapeControls("a\tb\nc", "\t\n"), "a\tb\nc");
}

}  // namespace
}  // namespace pff::test
