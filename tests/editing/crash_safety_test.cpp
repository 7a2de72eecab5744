// Every change is all or nothing: a failure of any open or write leaves the
// archive and memory as before the change, and short reads and writes change
// nothing. (A crash at any moment: power_loss_test.cpp.)
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "editing/add_file.h"
#include "editing/compact_archive.h"
#include "editing/delete_rename.h"
#include "editing/extract_file.h"
#include "editing_fixture.h"
#include "engine/journal.h"
#include "support/system_skips.h"

namespace pff::test {
namespace {

struct Change {
  const char* label;
  EngineOptions options;
  std::vector<std::string> sources;  // files added (in one batch when more than one); none: delete or rename
  std::function<bool(PffArchive&, Frontend&)> edit;
};

class CrashSafetyTest : public EditingTest {
 protected:
  // Dead space of 100 bytes before a live entry; README.TXT can be replaced in place.
  PffArchive MakeArchive() {
    return WriteArchive(path_, 36,
                        {{"README.TXT", Pattern(40, 1)},
                         {"<DEAD SPACE>", Pattern(100, 50), 1},
                         {"LAST.BIN", Pattern(9, 200)}});
  }

  std::vector<Change> Changes() {
    const std::string readme = WriteSource(dir_, "readme.txt", Pattern(40, 90));
    const std::string small = WriteSource(dir_, "small.bin", Pattern(30, 7));
    const std::string big = WriteSource(dir_, "big.bin", Pattern(3000, 3));
    auto deleteTwo = [](PffArchive& a, Frontend& p) { return DeleteFiles(a, {1, 3}, p); };
    return {
        {"add, appended where the directory stood", Options(false), {big}, {}},
        {"add into the tail of dead space", Options(true), {small}, {}},
        {"replace of the same size, in place", Options(true, true), {readme}, {}},
        {"replace, the new data appended", Options(false, true), {readme}, {}},
        {"a batch of three", Options(true, true), {small, big, readme}, {}},
        {"delete", {}, {}, deleteTwo},
        {"rename", {}, {}, [](PffArchive& a, Frontend& p) { return RenameFile(a, 2, "SAVED.DAT", p); }},
    };
  }

  // Runs a change on a fresh copy of the archive; true when it succeeded.
  bool Run(const Change& change, PffArchive& archive, RecordingPort& port) {
    if (change.edit) return change.edit(archive, port);
    if (change.sources.size() == 1) return Wrote(AddFile(change.sources[0], archive, change.options, port));
    AddBatch batch(archive);
    for (const std::string& source : change.sources) AddFile(source, archive, change.options, port, &batch);
    return batch.Commit(port) && port.errors.empty();
  }

  // Whether the first failure was a source file that could not be read.
  static bool SourceFailed(const Change& change, const RecordingPort& port) {
    for (const std::string& source : change.sources)
      if (port.errors.front().description.rfind(source, 0) == 0) return true;
    return false;
  }
  bool JournalLeft() const { return std::filesystem::exists(JournalPath(path_)); }

  std::string path_ = dir_.File("a.pff");
};

TEST_F(CrashSafetyTest, ShortReadsAndWritesGiveTheSameArchive) {
  std::vector<Change> changes = Changes();
  changes.push_back({"compact", {}, {}, [](PffArchive& a, Frontend& p) {
                       return CompactArchive(a, false, p).has_value();
                     }});
  for (const Change& change : changes) {
    SCOPED_TRACE(change.label);
    std::vector<uint8_t> whole;
    for (bool shortTransfers : {false, true}) {
      PffArchive archive = MakeArchive();
      const std::vector<uint8_t> old = ReadBytes(path_);
      RecordingPort port;
      FileFaults::ShortTransfers(shortTransfers);
      ASSERT_TRUE(Run(change, archive, port));
      EXPECT_EQ(Describe(Reopen(path_)), Describe(archive));
      if (!shortTransfers) whole = ReadBytes(path_);
      EXPECT_EQ(ReadBytes(path_), whole);
      // And an undo, from a crash after the journal and one write of the archive.
      MakeArchive();
      archive = Reopen(path_);
      FileFaults::CrashAfterNth(2);
      EXPECT_THROW(Run(change, archive, port), SimulatedCrash);
      FileFaults::Clear();
      FileFaults::ShortTransfers(shortTransfers);
      EXPECT_EQ(ReadBytes(Reopen(path_).Path), old);
      FileFaults::Clear();
    }
  }
  const std::string out = dir_.File("out");
  std::filesystem::create_directory(out);
  PffArchive archive = MakeArchive();
  FileFaults::ShortTransfers(true);
  EXPECT_TRUE(ExtractFile(archive, 1, out, port_));
  FileFaults::Clear();
  EXPECT_EQ(ReadBytes(out + "/README.TXT"), Pattern(40, 1));
}

TEST_F(CrashSafetyTest, AChangeThroughALinkIsUndoneByAnyPathAndCompactionKeepsTheLink) {
  SKIP_ON_WINDOWS(kNoLinks);
  const std::string link = dir_.File("link.pff");
  std::filesystem::create_symlink(path_, link);
  MakeArchive();
  const std::vector<uint8_t> old = ReadBytes(path_);
  PffArchive archive = Reopen(link);
  RecordingPort port;
  FileFaults::CrashAfterNth(2);
  EXPECT_THROW(AddFile(WriteSource(dir_, "big.bin", Pattern(3000, 3)), archive, Options(false), port),
               SimulatedCrash);
  FileFaults::Clear();
  RecordingPort reopening;
  ArchiveTable table;
  ASSERT_TRUE(OpenFile(table, path_, reopening));  // by the real path, not the link
  EXPECT_EQ(ReadBytes(path_), old);
  EXPECT_EQ(reopening.notices, std::vector<std::string>{path_ + ": an interrupted change was undone"});

  PffArchive viaLink = Reopen(link);
  ASSERT_TRUE(CompactArchive(viaLink, false, port));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_LT(ReadBytes(path_).size(), old.size());
}

TEST_F(CrashSafetyTest, AFailedOpenOrWriteLeavesMemoryAndFileAsBefore) {
  for (const Change& change : Changes()) {
    for (FileFaults::Op op : {FileFaults::Op::Open, FileFaults::Op::Write}) {
      const char* kind = op == FileFaults::Op::Open ? "open " : "write ";
      SCOPED_TRACE(std::string(change.label) + ", " + kind);
      int failures = 0;
      for (int nth = 1;; ++nth) {
        SCOPED_TRACE(std::to_string(nth) + " fails");
        PffArchive archive = MakeArchive();
        const std::string before = Describe(archive);
        const std::vector<uint8_t> old = ReadBytes(path_);
        RecordingPort port;
        FileFaults::FailNth(op, nth);
        const bool done = Run(change, archive, port);
        FileFaults::Clear();
        if (done && port.errors.empty()) break;
        EXPECT_FALSE(JournalLeft());
        if (SourceFailed(change, port)) {
          // That file is skipped; the others of a batch still go in.
          EXPECT_EQ(Describe(Reopen(path_)), Describe(archive));
          continue;
        }
        ++failures;
        EXPECT_EQ(Describe(archive), before);
        EXPECT_EQ(ReadBytes(path_), old);
      }
      // At least the archive and its journal; for writes, the journal and the archive.
      EXPECT_GE(failures, 2);
    }
  }
}

}  // namespace
}  // namespace pff::test
