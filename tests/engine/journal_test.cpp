// Opening undoes an interrupted change from its journal, and only a whole one.
#include "engine/journal.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "engine/archive_table.h"
#include "support/recording_port.h"
#include "support/temp_dir.h"

namespace pff {
namespace {

using test::ReadBytes;
using test::RecordingPort;
using test::TempDir;
using test::WriteBytes;

class JournalTest : public ::testing::Test {
 protected:
  void TearDown() override { FileFaults::Clear(); }

  // An empty archive of 73 bytes, its journal saving [0, 20) and [40, 73),
  // then the change: those bytes overwritten and 30 bytes appended.
  void InterruptedChange() {
    WriteBytes(path_, NewArchiveBytes(Flavour::Old));
    old_ = ReadBytes(path_);
    BinaryFile archive = BinaryFile::Open(path_, BinaryFile::Mode::Update);
    Journal journal = Journal::Create(path_, 73);
    journal.Save(archive, {{0, 20}, {40, 33}});
    const std::vector<uint8_t> junk(63, 0xEE);
    archive.WriteAt(0, junk.data(), 20);
    archive.WriteAt(40, junk.data(), 63);
    changed_ = ReadBytes(path_);
  }
  bool JournalLeft() const { return std::filesystem::exists(JournalPath(path_)); }

  TempDir dir_;
  std::string path_ = dir_.File("a.pff");
  std::vector<uint8_t> old_, changed_;
  RecordingPort port_;
};

TEST_F(JournalTest, OpeningUndoesAnInterruptedChangeAndSaysSoOnce) {
  for (bool reload : {false, true}) {
    SCOPED_TRACE(reload ? "ReloadArchive" : "OpenFile");
    InterruptedChange();
    RecordingPort port;
    ArchiveTable table;
    PffArchive record{path_, {}, {}};
    EXPECT_TRUE(reload ? ReloadArchive(record, port) : OpenFile(table, path_, port));
    EXPECT_EQ(ReadBytes(path_), old_);
    EXPECT_FALSE(JournalLeft());
    EXPECT_EQ(port.notices, std::vector<std::string>{path_ + ": an interrupted change was undone"});
    EXPECT_TRUE(port.errors.empty());
  }
}

TEST_F(JournalTest, AnUndoCutShortIsDoneAgainAtTheNextOpen) {
  // Two records written back, then the truncation.
  for (int nth = 1; nth <= 3; ++nth) {
    SCOPED_TRACE("crash after write " + std::to_string(nth) + " of the undo");
    InterruptedChange();
    ArchiveTable table;
    FileFaults::CrashAfterNth(nth);
    EXPECT_THROW(OpenFile(table, path_, port_), SimulatedCrash);
    FileFaults::Clear();
    ArchiveTable again;
    EXPECT_TRUE(OpenFile(again, path_, port_));
    EXPECT_EQ(ReadBytes(path_), old_);
    EXPECT_FALSE(JournalLeft());
  }
}

TEST_F(JournalTest, OnlyWholeRecordsAreUndone) {
  struct Case {
    const char* label;
    int64_t keep;       // bytes of the journal left; -1 all
    int64_t flipAt;     // a byte of the journal changed; -1 none
    bool tornHeader;    // then the archive was never touched: left as it is
    size_t restoredTo;  // else: bytes of the old archive back in place
  };
  // Header 24 bytes; record 1 = 16 + 20 bytes; record 2 = 16 + 33 bytes.
  const Case cases[] = {
      {"empty journal", 0, -1, true, 0},
      {"torn header", 23, -1, true, 0},
      {"a damaged header", -1, 5, true, 0},
      {"a damaged length in the header", -1, 12, true, 0},
      {"header only", 24, -1, false, 0},
      {"torn first record", 50, -1, false, 0},
      {"torn second record", 24 + 36 + 48, -1, false, 20},
      {"damaged second record", -1, 24 + 36 + 20, false, 20},
      {"whole", -1, -1, false, 73},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    InterruptedChange();
    std::vector<uint8_t> journal = ReadBytes(JournalPath(path_));
    if (c.keep >= 0) journal.resize(size_t(c.keep));
    if (c.flipAt >= 0) journal[size_t(c.flipAt)] ^= 1;
    WriteBytes(JournalPath(path_), journal);
    RecordingPort port;
    ArchiveTable table;
    OpenFile(table, path_, port);

    EXPECT_FALSE(JournalLeft());
    std::vector<uint8_t> expected = changed_;
    if (!c.tornHeader) {
      expected.resize(73);
      if (c.restoredTo >= 20) std::copy_n(old_.begin(), 20, expected.begin());
      if (c.restoredTo == 73) expected = old_;
    }
    EXPECT_EQ(ReadBytes(path_), expected);
    EXPECT_EQ(port.notices.size(), c.tornHeader ? 0u : 1u);
  }
}

TEST_F(JournalTest, AJournalThatCannotBeUndoneKeepsTheArchiveClosed) {
  InterruptedChange();
  // The archive cannot be opened for writing (read-only medium, no permission).
  FileFaults::FailNth(FileFaults::Op::Open, 1, EROFS);
  ArchiveTable table;
  EXPECT_FALSE(OpenFile(table, path_, port_));
  FileFaults::Clear();
  EXPECT_EQ(port_.ErrorRoutines(), std::vector<std::string>{"UpdatePff"});
  EXPECT_NE(port_.errors[0].description.find("is kept"), std::string::npos) << port_.errors[0].description;
  EXPECT_TRUE(JournalLeft());
  EXPECT_EQ(ReadBytes(path_), changed_);
  EXPECT_EQ(table.Count(), 0);
}

TEST_F(JournalTest, AFifoIsRefusedAtOnce) {
  const std::string fifo = dir_.File("f.pff");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ArchiveTable table;
  EXPECT_FALSE(OpenFile(table, fifo, port_));  // would hang if it waited for a writer
  EXPECT_EQ(port_.ErrorRoutines(), std::vector<std::string>{"UpdatePff"});
}

}  // namespace
}  // namespace pff
