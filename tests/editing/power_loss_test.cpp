// A power loss at any moment of a change leaves an archive that opens as
// exactly the old one or the new one: every state that the recorded writes,
// flushes, renames and removals allow is rebuilt and opened.
#include "support/power_loss.h"

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
#include "engine/seam_recording.h"

namespace fs = std::filesystem;

namespace pff::test {
namespace {

class PowerLossTest : public EditingTest {
 protected:
  void SetUp() override {
    for (const char* name : {"work", "scratch"}) fs::create_directory(dir_.File(name));
  }

  // Dead space of 100 bytes before a live entry; README.TXT can be replaced in place.
  PffArchive MakeArchive() {
    return WriteArchive(archive_, 36,
                        {{"README.TXT", Pattern(40, 1)},
                         {"<DEAD SPACE>", Pattern(100, 50), 1},
                         {"LAST.BIN", Pattern(9, 200)}});
  }
  std::string Source(const std::string& name, size_t size, uint8_t first) const {
    return WriteSource(sources_, name, Pattern(size, first));
  }
  bool Add(const std::string& source, bool reuse, bool overwrite = false) {
    PffArchive archive = Reopen(archive_);
    return Wrote(AddFile(source, archive, Options(reuse, overwrite), port_));
  }

  // Records change on the archive that setUp made and returned the old bytes
  // of, then opens every state a power loss could have left.
  int Check(const char* label, const std::function<std::vector<uint8_t>()>& setUp,
            const std::function<bool()>& change, int randomSubsets) {
    SCOPED_TRACE(label);
    work_ = ResolvedPath(work_.string());
    archive_ = (work_ / "a.pff").string();
    for (const auto& item : fs::directory_iterator(work_)) fs::remove_all(item.path());
    const std::vector<uint8_t> old = setUp();
    const FolderSnapshot start = TakeSnapshot(work_.string());
    SeamRecording::Start();
    const bool done = change();
    const std::vector<SeamOp> ops = SeamRecording::Stop();
    EXPECT_TRUE(done);
    const std::vector<uint8_t> now = ReadBytes(archive_);
    EXPECT_NE(now, old);
    int failures = 0;
    const int states = ForEachPowerLossState(
        start, ops, randomSubsets, [&](const FolderState& state, const std::string& at) {
          WriteFolder(scratch_.string(), state);
          RecordingPort port;
          ArchiveTable table;
          const std::string path = (scratch_ / "a.pff").string();
          const bool opened = OpenFile(table, path, port);
          const std::vector<uint8_t> bytes = ReadBytes(path);
          std::vector<std::string> left;
          for (const auto& item : fs::directory_iterator(scratch_))
            left.push_back(item.path().filename().string());
          if (opened && (bytes == old || bytes == now) && left == std::vector<std::string>{"a.pff"}) return;
          if (++failures > 3) return;
          ADD_FAILURE() << at << ": " << (opened ? "opened" : "not opened") << ", "
                        << (bytes == old   ? "old"
                            : bytes == now ? "new"
                                           : "neither old nor new")
                        << ", " << left.size() << " files left"
                        << (port.errors.empty() ? "" : ", " + port.errors[0].description);
        });
    std::printf("%-48s %5d power-loss states\n", label, states);
    return states;
  }

  fs::path work_ = dir_.File("work"), scratch_ = dir_.File("scratch");
  std::string archive_ = (work_ / "a.pff").string();
  TempDir sources_;
};

TEST_F(PowerLossTest, EveryStateOpensAsTheOldOrTheNewArchive) {
  const auto made = [this] {
    MakeArchive();
    return ReadBytes(archive_);
  };
  const std::string big = Source("big.bin", 3000, 3), small = Source("small.bin", 30, 7),
                    fit = Source("fit.bin", 100, 9), readme = Source("readme.txt", 40, 90);
  // The archive after a change whose undo step is kept.
  const auto changed = [this](std::function<void()> change) {
    return [this, change] {
      MakeArchive();
      ForgetHistory(archive_);
      change();
      return ReadBytes(archive_);
    };
  };
  const auto undo = [this] {
    PffArchive archive = Reopen(archive_);
    return UndoChange(archive).Outcome == StepOutcome::Applied;
  };
  const auto redo = [this] {
    PffArchive archive = Reopen(archive_);
    return RedoChange(archive).Outcome == StepOutcome::Applied;
  };
  struct Case {
    const char* label;
    std::function<std::vector<uint8_t>()> setUp;
    std::function<bool()> change;
    int randomSubsets;
  };
  const Case cases[] = {
      {"add, appended where the directory stood", made, [&] { return Add(big, false); }, 16},
      {"add into the tail of dead space", made, [&] { return Add(small, true); }, 16},
      {"add of exactly the size of dead space", made, [&] { return Add(fit, true); }, 16},
      {"replace of the same size, in place", made, [&] { return Add(readme, true, true); }, 16},
      {"replace, the new data appended", made, [&] { return Add(readme, false, true); }, 16},
      {"a batch of three additions", made,
       [&] {
         PffArchive archive = Reopen(archive_);
         AddBatch batch(archive);
         for (const std::string& source : {small, big, readme})
           AddFile(source, archive, Options(true, true), port_, &batch);
         return batch.Commit(port_);
       },
       16},
      {"a batch of two, the first inside the directory", made,
       [&] {
         PffArchive archive = Reopen(archive_);
         AddBatch batch(archive);
         for (const std::string& source : {small, big})
           AddFile(source, archive, Options(false), port_, &batch);
         return batch.Commit(port_);
       },
       16},
      {"delete", made,
       [&] {
         PffArchive archive = Reopen(archive_);
         return DeleteFiles(archive, {1, 3}, port_);
       },
       16},
      {"rename", made,
       [&] {
         PffArchive archive = Reopen(archive_);
         return RenameFile(archive, 2, "SAVED.DAT", port_);
       },
       16},
#ifndef _WIN32  // kNoLinks
      // The journal lies beside the archive, not beside the link: its folder is the one to flush.
      {"add through a link in another folder", made,
       [&] {
         const std::string link = dir_.File("link.pff");
         fs::remove(link);
         fs::create_symlink(archive_, link);
         PffArchive archive = Reopen(link);
         return Wrote(AddFile(big, archive, Options(false), port_));
       },
       16},
#endif
      {"rename in a directory of more than 1 MiB",
       [&] {
         WriteArchive(archive_, 36, std::vector<FixtureEntry>(30000, {"E", {7}}));
         return ReadBytes(archive_);
       },
       [&] {
         PffArchive archive = Reopen(archive_);
         return RenameFile(archive, 2, "SAVED.DAT", port_);
       },
       2},
      // Undo of an add cuts the archive back: the cut completes the change.
      {"undo of an add", changed([&] { Add(big, false); }), undo, 16},
      {"redo of an add", changed([&] {
         Add(big, false);
         undo();
       }), redo, 16},
      {"undo of a replace in place", changed([&] { Add(readme, true, true); }), undo, 16},
      {"compact", made,
       [&] {
         PffArchive archive = Reopen(archive_);
         return CompactArchive(archive, false, port_).has_value();
       },
       16},
      {"create over an archive", made,
       [&] {
         ArchiveTable table;
         return CreateArchive(table, archive_, Flavour::New).Index != 0;
       },
       16},
      {"create over an interrupted change",
       [&] {
         MakeArchive();
         const std::vector<uint8_t> old = ReadBytes(archive_);
         // Journal, data and directory written, the header not yet.
         FileFaults::CrashAfterNth(3);
         EXPECT_THROW(Add(big, false), SimulatedCrash);
         FileFaults::Clear();
         EXPECT_TRUE(fs::exists(archive_ + "-journal"));
         return old;
       },
       [&] {
         ArchiveTable table;
         return CreateArchive(table, archive_, Flavour::New).Index != 0;
       },
       16},
  };
  int total = 0;
  for (const Case& c : cases) total += Check(c.label, c.setUp, c.change, c.randomSubsets);
  std::printf("%-48s %5d power-loss states\n", "all", total);
  EXPECT_TRUE(port_.errors.empty()) << port_.errors.front().description;
}

}  // namespace
}  // namespace pff::test
