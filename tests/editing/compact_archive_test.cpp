#include "editing/compact_archive.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "editing_fixture.h"
#include "engine/archive_check.h"
#include "engine/journal.h"
#include "engine/pff_format.h"

namespace fs = std::filesystem;

namespace pff::test {
namespace {

class CompactArchiveTest : public EditingTest {
 protected:
  // Live, dead, live, dead, live: 3 + 5 + 4 + 6 + 2 bytes of data.
  PffArchive Make(int32_t entrySize) {
    return WriteArchive(path_, entrySize,
                        {{"ONE", Pattern(3, 1), 0, 100},
                         {"<DEAD SPACE>", Pattern(5, 50), 1},
                         {"TWO", Pattern(4, 10), 0, 200},
                         {"<DEAD SPACE>", Pattern(6, 60), 1},
                         {"THREE", Pattern(2, 20), 0, 300}});
  }
  std::vector<std::string> Folder() const {
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(dir_.Path()))
      names.push_back(item.path().filename().string());
    return names;
  }
  std::string path_ = dir_.File("a.pff");
};

TEST_F(CompactArchiveTest, LiveEntriesArePackedInOrderAndTheFlavourKept) {
  for (int32_t entrySize : {32, 36}) {
    SCOPED_TRACE(entrySize);
    PffArchive archive = Make(entrySize);
    const std::vector<uint8_t> before = ReadBytes(path_);
    const int64_t reclaimable = ReclaimableBytes(archive);

    const std::optional<CompactResult> result = CompactArchive(archive, false, port_);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->BytesBefore, int64_t(before.size()));
    EXPECT_EQ(result->BytesBefore - result->BytesAfter, reclaimable);
    EXPECT_EQ(Layout(archive), "0@20+3 0@23+4 0@27+2 dir 29");
    EXPECT_EQ(archive.Header.HeaderSize, before[0]);
    EXPECT_EQ(archive.Header.EntrySize, entrySize);
    EXPECT_EQ(archive.Entry(3).FileTime, 300);
    EXPECT_EQ(Describe(Reopen(path_)), Describe(archive));

    const std::vector<uint8_t> after = ReadBytes(path_);
    EXPECT_EQ(int64_t(after.size()), result->BytesAfter);
    std::vector<uint8_t> data = Pattern(3, 1);
    for (auto part : {Pattern(4, 10), Pattern(2, 20)}) data.insert(data.end(), part.begin(), part.end());
    EXPECT_EQ(Slice(after, 20, 9), data);
    EXPECT_TRUE(CheckArchive(path_).Findings.empty());
    EXPECT_EQ(ReclaimableBytes(archive), 0);
  }
  EXPECT_EQ(Folder(), std::vector<std::string>{"a.pff"});
  EXPECT_TRUE(port_.errors.empty());
}

TEST_F(CompactArchiveTest, NothingIsWrittenWhenItCannotBeDoneSafely) {
  PffArchive archive = Make(36);
  const std::vector<uint8_t> before = ReadBytes(path_);
  const PffArchive record = archive;
  auto expectUntouched = [&](const char* label) {
    SCOPED_TRACE(label);
    EXPECT_EQ(ReadBytes(path_), before);
    EXPECT_EQ(Describe(archive), Describe(record));
    EXPECT_EQ(Folder(), std::vector<std::string>{"a.pff"});
    EXPECT_EQ(port_.ErrorRoutines(), std::vector<Routine>{Routine::CompactArchive});
    port_.errors.clear();
  };

  // Another program changed the directory since it was read.
  PffArchive stale = archive;
  stale.Entry(1).FileTime = 5;
  EXPECT_FALSE(CompactArchive(stale, true, port_));
  EXPECT_EQ(port_.errors.at(0).description,
            path_ + " was changed by another program; it has been read again, nothing was written.");
  EXPECT_EQ(Describe(stale), Describe(record));  // read again from the file
  archive = record;
  expectUntouched("changed");

  // A write of the new file fails part way.
  for (int nth : {1, 2, 4}) {
    FileFaults::FailNth(FileFaults::Op::Write, nth);
    EXPECT_FALSE(CompactArchive(archive, false, port_));
    FileFaults::Clear();
    expectUntouched("failed write");
  }

  // Another program holds the lock.
  {
    BinaryFile holder = BinaryFile::Open(path_, BinaryFile::Mode::Read);
    ASSERT_TRUE(holder.LockExclusive(0));
    EXPECT_FALSE(CompactArchive(archive, false, port_));
    expectUntouched("locked");
  }
}

TEST_F(CompactArchiveTest, OnlyADeadFlagOf1IsDeadSpace) {
  WriteArchive(path_, 36,
               {{"ODD", Pattern(3, 1), 2}, {"<DEAD SPACE>", Pattern(5, 50), 1}, {"TWO", Pattern(4, 10)}});
  PffArchive archive = Reopen(path_);
  ASSERT_TRUE(CompactArchive(archive, false, port_));
  EXPECT_EQ(Layout(archive), "2@20+3 0@23+4 dir 27");
  EXPECT_EQ(Slice(ReadBytes(path_), 20, 3), Pattern(3, 1));
}

TEST_F(CompactArchiveTest, AnArchiveInErrorNeedsForce) {
  Make(36);
  // Entry 3 overlaps entry 1: an error for the check, harmless for packing.
  std::vector<uint8_t> bytes = ReadBytes(path_);
  bytes[40 + 2 * 36 + 4] = 21;
  WriteBytes(path_, bytes);
  PffArchive archive = Reopen(path_);
  EXPECT_FALSE(CompactArchive(archive, false, port_));
  EXPECT_EQ(port_.ErrorRoutines(), std::vector<Routine>{Routine::CompactArchive});
  ASSERT_TRUE(CompactArchive(archive, true, port_));
  EXPECT_EQ(Layout(archive), "0@20+3 0@23+4 0@27+2 dir 29");
  EXPECT_EQ(Slice(ReadBytes(path_), 23, 4), (std::vector<uint8_t>{2, 3, 50, 51}));

  // A pending journal would be replayed over the new file: refused even with force.
  WriteBytes(JournalPath(path_), Bytes("journal"));
  EXPECT_FALSE(CompactArchive(archive, true, port_));
}

}  // namespace
}  // namespace pff::test
