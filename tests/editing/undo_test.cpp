// Undo and redo walk an archive through every state of its changes byte for
// byte, refuse any archive that is not exactly in the state a step needs, and
// never trust a step file.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "editing/add_file.h"
#include "editing/compact_archive.h"
#include "editing/delete_rename.h"
#include "editing/undo.h"
#include "editing_fixture.h"
#include "engine/file_system.h"
#include "engine/journal_format.h"

namespace fs = std::filesystem;

namespace pff::test {
namespace {

class UndoTest : public EditingTest {
 protected:
  void SetUp() override {
    saved_ = UndoLimits::Current();
    state_ = fs::path(*UserStateFolder()) / "vellumcraft" / "undo";
    // Dead space of 100 bytes between two live entries.
    WriteArchive(archive_, 36,
                 {{"README.TXT", Pattern(40, 1)}, {"<DEAD SPACE>", Pattern(100, 50), 1}, {"LAST.BIN", Pattern(9, 200)}});
    ForgetHistory(archive_);
  }
  void TearDown() override {
    UndoLimits::Current() = saved_;
    ForgetHistory(archive_);
    EditingTest::TearDown();
  }
  std::string Source(const std::string& name, size_t size, uint8_t first) {
    return WriteSource(sources_, name, Pattern(size, first));
  }
  void Add(const std::string& source, bool reuse, bool overwrite = false) {
    PffArchive archive = Reopen(archive_);
    ASSERT_TRUE(Wrote(AddFile(source, archive, Options(reuse, overwrite), port_)));
  }
  StepResult Undo() {
    PffArchive archive = Reopen(archive_);
    return UndoChange(archive);
  }
  StepResult Redo() {
    PffArchive archive = Reopen(archive_);
    return RedoChange(archive);
  }
  void Poke(int64_t offset, uint8_t value) {
    BinaryFile file = BinaryFile::Open(archive_, BinaryFile::Mode::Update);
    file.WriteAt(offset, &value, 1);
  }

  UndoLimits saved_;
  fs::path state_;
  std::string archive_ = dir_.File("a.pff");
  TempDir sources_;
};

TEST_F(UndoTest, UndoAndRedoWalkEveryStateBackAndForthByteForByte) {
  struct Change {
    const char* phrase;
    std::function<void()> make;
  };
  const std::string big = Source("big.bin", 3000, 3), small = Source("small.bin", 30, 7),
                    readme = Source("readme.txt", 40, 90), longer = Source("last.bin", 700, 11),
                    fresh = Source("new.bin", 64, 5);
  const Change changes[] = {
      {"add of 1 file", [&] { Add(big, false); }},
      {"add of 1 file", [&] { Add(small, true); }},                // into dead space
      {"replace of 1 file", [&] { Add(readme, true, true); }},     // in place, same size
      {"replace of 1 file", [&] { Add(longer, false, true); }},    // appended, the old data dead
      {"delete of 2 entries",
       [&] {
         PffArchive archive = Reopen(archive_);
         ASSERT_TRUE(DeleteFiles(archive, {1, 2}, port_));
       }},
      {"rename of 1 entry",
       [&] {
         PffArchive archive = Reopen(archive_);
         ASSERT_TRUE(RenameFile(archive, 3, "SAVED.DAT", port_));
       }},
      {"add of 2 files",
       [&] {
         PffArchive archive = Reopen(archive_);
         AddBatch batch(archive);
         for (const std::string& source : {fresh, big}) AddFile(source, archive, Options(true, true), port_, &batch);
         ASSERT_TRUE(batch.Commit(port_));
       }},
  };
  std::vector<std::vector<uint8_t>> states{ReadBytes(archive_)};
  for (const Change& change : changes) {
    change.make();
    states.push_back(ReadBytes(archive_));
    ASSERT_NE(states.back(), states[states.size() - 2]) << change.phrase;
  }
  ASSERT_TRUE(port_.errors.empty()) << port_.errors[0].description;
  EXPECT_EQ(ReadHistory(archive_).Done.size(), std::size(changes));

  for (size_t i = std::size(changes); i-- > 0;) {
    const StepResult result = Undo();
    EXPECT_EQ(result.Message, std::string("Undid: ") + changes[i].phrase);
    EXPECT_EQ(ReadBytes(archive_), states[i]) << "after undoing the " << changes[i].phrase << " #" << i;
  }
  EXPECT_EQ(Undo().Message, "nothing to undo");
  EXPECT_EQ(ReadBytes(archive_), states[0]);
  EXPECT_FALSE(fs::exists(archive_ + "-journal"));

  for (size_t i = 0; i < std::size(changes); ++i) {
    const StepResult result = Redo();
    EXPECT_EQ(result.Message, std::string("Redid: ") + changes[i].phrase);
    EXPECT_EQ(ReadBytes(archive_), states[i + 1]) << "after redoing the " << changes[i].phrase << " #" << i;
  }
  EXPECT_EQ(Redo().Outcome, StepOutcome::NothingToDo);

  // A change after an undo makes the undone steps unreachable.
  Undo();
  Undo();
  EXPECT_EQ(ReadHistory(archive_).Undone.size(), 2u);
  Add(readme, true, true);
  EXPECT_TRUE(ReadHistory(archive_).Undone.empty());
  EXPECT_EQ(Redo().Message, "nothing to redo");
  EXPECT_EQ(Undo().Message, "Undid: add of 1 file");
  EXPECT_EQ(ReadBytes(archive_), states[std::size(changes) - 2]);
}

TEST_F(UndoTest, AStepAppliesOnlyToTheStateItLeftAndRefusalsWriteNothing) {
  const int64_t oldDirectory = Reopen(archive_).Header.DirOffset;
  Add(Source("big.bin", 3000, 3), false);
  const std::vector<uint8_t> added = ReadBytes(archive_);
  const PffArchive archive = Reopen(archive_);
  const int64_t data = archive.Entries.back().DataOffset;
  const int64_t untouchedRecord = archive.Header.DirOffset + 36;  // the directory moved, but this record is the same
  const std::string refusal = archive_ + " was changed since; nothing was undone.";
  // Written by some other program: in the data the change wrote, in a record
  // it rewrote without altering, and past its end.
  for (const auto& [where, foreign] : std::vector<std::pair<const char*, std::function<void()>>>{
           {"data", [&] { Poke(data + 2999, 0x55); }},
           {"record", [&] { Poke(untouchedRecord + 20, 'X'); }},
           {"length", [&] { WriteBytes(archive_, [&] { auto b = added; b.push_back(0); return b; }()); }}}) {
    SCOPED_TRACE(where);
    WriteBytes(archive_, added);
    foreign();
    const std::vector<uint8_t> changed = ReadBytes(archive_);
    const StepResult result = Undo();
    EXPECT_EQ(result.Outcome, StepOutcome::ChangedSince);
    EXPECT_EQ(result.Message, refusal);
    EXPECT_EQ(ReadBytes(archive_), changed);
    EXPECT_EQ(ReadHistory(archive_).Done.size(), 1u);
  }
  WriteBytes(archive_, added);
  EXPECT_EQ(Undo().Outcome, StepOutcome::Applied);
  // Redo is checked against the old state in the same way.
  Poke(oldDirectory + 20, 'X');
  const StepResult redo = Redo();
  EXPECT_EQ(redo.Message, archive_ + " was changed since; nothing was redone.");
}

TEST_F(UndoTest, AStepWhoseChangeDidNotLandIsPassedOverAndTheOneBeforeUndone) {
  // The step of the second change is kept before its journal goes; a crash
  // then rolls the change back and leaves the step behind.
  const std::vector<uint8_t> before = ReadBytes(archive_);
  {
    PffArchive archive = Reopen(archive_);
    ASSERT_TRUE(DeleteFiles(archive, {1}, port_));
  }
  const std::vector<uint8_t> deleted = ReadBytes(archive_);
  Add(Source("big.bin", 3000, 3), false);
  WriteBytes(archive_, deleted);
  const StepResult result = Undo();
  EXPECT_EQ(result.Message, "Undid: delete of 1 entry");
  EXPECT_EQ(ReadBytes(archive_), before);
  // Both are redoable now, in order; the add fits where the delete left the file.
  EXPECT_EQ(ReadHistory(archive_).Undone.size(), 2u);
  EXPECT_EQ(Redo().Message, "Redid: delete of 1 entry");
  EXPECT_EQ(Redo().Message, "Redid: add of 1 file");
}

TEST_F(UndoTest, TheHistoryKeepsItsLimitsAndRedoTellsWhatItCannotDo) {
  UndoLimits::Current().Steps = 3;
  UndoLimits::Current().RedoBytes = 2000;
  const std::string small = Source("small.bin", 30, 7);
  for (int i = 0; i < 5; ++i) Add(small, false, true);
  EXPECT_EQ(ReadHistory(archive_).Done.size(), 3u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Undo().Outcome, StepOutcome::Applied);
  EXPECT_EQ(Undo().Message, "nothing to undo");

  // 2001 bytes appended (the data and a 36-byte record more than before)... is
  // more than the bound: undone, never redone.
  ForgetHistory(archive_);
  const std::vector<uint8_t> before = ReadBytes(archive_);
  Add(Source("big.bin", 3000, 3), false);
  const std::vector<UndoStep> done = ReadHistory(archive_).Done;
  ASSERT_EQ(done.size(), 1u);
  EXPECT_FALSE(done[0].Redoable);
  EXPECT_EQ(Undo().Outcome, StepOutcome::Applied);
  EXPECT_EQ(ReadBytes(archive_), before);
  const StepResult redo = Redo();
  EXPECT_EQ(redo.Outcome, StepOutcome::NotRedoable);
  EXPECT_EQ(redo.Message, "The add of 1 file cannot be redone: it wrote more than 0 MiB, which is not kept; "
                          "nothing was redone.");
  EXPECT_EQ(ReadBytes(archive_), before);

  // A step larger than the whole history may hold leaves none at all: a
  // replace in place keeps the 3000 bytes it overwrote.
  Add(Source("big.bin", 3000, 3), false);
  ASSERT_EQ(ReadHistory(archive_).Done.size(), 1u);
  UndoLimits::Current().Bytes = 2000;
  Add(Source("big.bin", 3000, 4), true, true);
  EXPECT_TRUE(ReadHistory(archive_).Done.empty());
  EXPECT_EQ(Undo().Message, "nothing to undo");
}

TEST_F(UndoTest, CompactingDropsTheHistory) {
  Add(Source("small.bin", 30, 7), false);
  PffArchive archive = Reopen(archive_);
  ASSERT_TRUE(CompactArchive(archive, false, port_).has_value());
  EXPECT_TRUE(ReadHistory(archive_).Done.empty());
}

// Every byte of a step file counts: a flipped one anywhere makes it no step,
// and a step with consistent checksums but ranges outside the archive is refused too.
TEST_F(UndoTest, AStepFileIsCheckedWholeBeforeAnyOfItIsUsed) {
  Add(Source("small.bin", 30, 7), true);
  const std::vector<UndoStep> done = ReadHistory(archive_).Done;
  ASSERT_EQ(done.size(), 1u);
  std::string stepPath;
  for (const auto& folder : fs::directory_iterator(state_)) {
    const std::vector<uint8_t> owner = ReadBytes((folder.path() / "archive").string());
    if (std::string(owner.begin(), owner.end()) != ComparablePath(ResolvedPath(archive_))) continue;
    for (const auto& item : fs::directory_iterator(folder))
      if (item.path().extension() == ".done") stepPath = item.path().string();
  }
  ASSERT_FALSE(stepPath.empty());
  const std::vector<uint8_t> good = ReadBytes(stepPath), added = ReadBytes(archive_);
  for (size_t i = 0; i < good.size(); i += 7) {
    std::vector<uint8_t> bad = good;
    bad[i] ^= 0x10;
    WriteBytes(stepPath, bad);
    const StepResult result = Undo();
    ASSERT_NE(result.Outcome, StepOutcome::Applied) << "byte " << i;
    ASSERT_EQ(ReadBytes(archive_), added) << "byte " << i;
    if (!fs::exists(stepPath)) WriteBytes(stepPath, good);
  }
  // The first run's offset pushed past the old length, checksums made right again.
  std::vector<uint8_t> bad = good;
  const auto put32 = [&](size_t at, uint32_t v) {
    for (int b = 0; b < 4; ++b) bad[at + b] = static_cast<uint8_t>(v >> (8 * b));
  };
  int64_t at = 64;
  const auto get64 = [&](size_t p) {
    int64_t v = 0;
    for (int b = 0; b < 8; ++b) v |= int64_t{bad[p + b]} << (8 * b);
    return v;
  };
  const uint32_t before = bad[44] | bad[45] << 8, after = bad[48] | bad[49] << 8;
  for (uint32_t c = 0; c < before + after; ++c) {
    const int64_t offset = get64(at), length = get64(at + 8);
    at += 16 + 4 * PieceCount(offset, length);
  }
  bad[at + 7] = 0x01;
  put32(56, Crc32(0, bad.data() + 64, bad.size() - 64));
  put32(60, Crc32(0, bad.data(), 60));
  WriteBytes(stepPath, bad);
  EXPECT_EQ(Undo().Message, "nothing to undo");
  EXPECT_EQ(ReadBytes(archive_), added);
}

// An undo that cut the archive and then could not remove its journal is done:
// the next open finds it complete, but only while everything it wrote is there.
TEST_F(UndoTest, AJournalLeftAfterACutIsRemovedOnlyWhenTheCutChangeIsWhole) {
  const std::vector<uint8_t> before = ReadBytes(archive_);
  const int64_t directory = Reopen(archive_).Header.DirOffset;
  Add(Source("big.bin", 3000, 3), false);
  const std::vector<uint8_t> added = ReadBytes(archive_);
  const std::string journal = archive_ + "-journal";
  for (const bool tampered : {false, true}) {
    SCOPED_TRACE(tampered ? "a written byte changed since" : "as the undo left it");
    WriteBytes(archive_, added);
    FileFaults::FailNth(FileFaults::Op::Name, 1);  // the journal's removal
    EXPECT_EQ(Undo().Outcome, StepOutcome::Applied);
    FileFaults::Clear();
    ASSERT_TRUE(fs::exists(journal));
    ASSERT_EQ(ReadBytes(archive_), before);
    if (tampered) Poke(directory + 16, 'X');  // a name the undo wrote back over the added data
    const std::vector<uint8_t> now = ReadBytes(archive_);
    ArchiveTable table;
    RecordingPort port;
    EXPECT_EQ(OpenFile(table, archive_, port), !tampered);
    EXPECT_EQ(fs::exists(journal), tampered);
    EXPECT_EQ(ReadBytes(archive_), now);
    fs::remove(journal);
    ASSERT_EQ(Redo().Outcome, tampered ? StepOutcome::ChangedSince : StepOutcome::Applied);
  }
}

}  // namespace
}  // namespace pff::test
