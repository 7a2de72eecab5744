// Two programs on one archive: a change waits for the other's lock, and a
// change from a stale picture of the file is refused without writing.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

#include "editing/add_file.h"
#include "editing/archive_transaction.h"
#include "editing/delete_rename.h"
#include "editing/extract_file.h"
#include "editing_fixture.h"
#include "engine/file_system.h"
#include "engine/journal.h"
#include "support/system_skips.h"

namespace pff::test {
namespace {

class OtherWritersTest : public EditingTest {
 protected:
  void SetUp() override { ArchiveTransaction::LockWaitMs = 50; }
  void TearDown() override {
    ArchiveTransaction::LockWaitMs = 2000;
    EditingTest::TearDown();
  }
  PffArchive MakeArchive() {
    return WriteArchive(path_, 36, {{"A.TXT", Pattern(10, 1)}, {"B.TXT", Pattern(20, 2)}});
  }
  std::string path_ = dir_.File("a.pff");
};

#ifdef _WIN32
// Windows locks belong to a handle, not a process: a thread with a handle of
// its own stands for the other program.
class LockHolder {
 public:
  explicit LockHolder(const std::string& path, const std::function<void()>& whileLocked = {}) {
    std::promise<bool> locked;
    std::future<bool> ready = locked.get_future();
    thread_ = std::thread([this, path, whileLocked, &locked] {
      BinaryFile file = BinaryFile::Open(path, BinaryFile::Mode::Read);
      locked.set_value(file.LockExclusive(1000));
      if (whileLocked) return whileLocked();
      std::unique_lock<std::mutex> hold(mutex_);
      go_.wait(hold, [this] { return released_; });
    });
    EXPECT_TRUE(ready.get());
  }
  ~LockHolder() {
    {
      std::lock_guard<std::mutex> hold(mutex_);
      released_ = true;
    }
    go_.notify_one();
    thread_.join();
  }

 private:
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable go_;
  bool released_ = false;
};
#else
// A second process that holds the archive's lock until the test lets it go,
// or until whileLocked has run.
class LockHolder {
 public:
  explicit LockHolder(const std::string& path, const std::function<void()>& whileLocked = {}) {
    int ready[2], release[2];
    EXPECT_EQ(::pipe(ready), 0);
    EXPECT_EQ(::pipe(release), 0);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready[0]);
      ::close(release[1]);
      BinaryFile file = BinaryFile::Open(path, BinaryFile::Mode::Read);
      char c = file.LockExclusive(1000) ? 'y' : 'n';
      if (::write(ready[1], &c, 1) != 1) ::_exit(1);
      if (whileLocked) whileLocked();
      ::_exit(whileLocked || ::read(release[0], &c, 1) >= 0 ? 0 : 1);
    }
    ::close(ready[1]);
    ::close(release[0]);
    release_ = release[1];
    char c = 0;
    EXPECT_EQ(::read(ready[0], &c, 1), 1);
    EXPECT_EQ(c, 'y');
    ::close(ready[0]);
  }
  ~LockHolder() {
    ::close(release_);
    ::waitpid(pid_, nullptr, 0);
  }

 private:
  pid_t pid_ = -1;
  int release_ = -1;
};
#endif

TEST_F(OtherWritersTest, AChangeFromAStalePictureIsRefusedAndTheRecordReadAgain) {
  const std::string source = WriteSource(dir_, "c.txt", Bytes("third"));
  struct Case {
    const char* label;
    std::function<bool(PffArchive&, Frontend&)> change;
    Routine routine;
  };
  const Case cases[] = {
      {"add", [&](PffArchive& a, Frontend& p) { return Wrote(AddFile(source, a, Options(true), p)); },
       Routine::AddFile},
      {"delete", [](PffArchive& a, Frontend& p) { return DeleteFiles(a, {1}, p); }, Routine::DeleteEntries},
      {"rename", [](PffArchive& a, Frontend& p) { return RenameFile(a, 2, "Z.TXT", p); },
       Routine::RenameEntry},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    PffArchive window = MakeArchive();
    PffArchive other = window;
    RecordingPort port;
    ASSERT_TRUE(DeleteFiles(other, {2}, port));  // the other program's change
    const std::vector<uint8_t> afterOther = ReadBytes(path_);

    EXPECT_FALSE(c.change(window, port));

    ASSERT_EQ(port.ErrorRoutines(), std::vector<Routine>{c.routine});
    EXPECT_EQ(port.errors[0].description,
              path_ + " was changed by another program; it has been read again, nothing was written.");
    EXPECT_EQ(ReadBytes(path_), afterOther);
    EXPECT_EQ(Describe(window), Describe(other));
    // With the truth in memory the change goes through.
    port.errors.clear();
    EXPECT_TRUE(c.change(window, port));
    EXPECT_EQ(Describe(Reopen(path_)), Describe(window));
  }
}

TEST_F(OtherWritersTest, ExtractingFromAStalePictureWritesNothing) {
  PffArchive window = MakeArchive();
  PffArchive other = window;
  RecordingPort port;
  ASSERT_TRUE(RenameFile(other, 1, "Z.TXT", port));
  const std::string out = dir_.File("out");
  std::filesystem::create_directory(out);
  EXPECT_FALSE(ExtractFile(window, 1, out, port));
  EXPECT_EQ(port.ErrorRoutines(), std::vector<Routine>{Routine::ExtractEntry});
  EXPECT_TRUE(std::filesystem::is_empty(out));
  EXPECT_TRUE(ExtractFile(other, 1, out, port));
}

TEST_F(OtherWritersTest, AnArchiveLockedByAnotherProcessIsNotTouched) {
  PffArchive archive = MakeArchive();
  const std::string before = Describe(archive);
  const std::vector<uint8_t> bytes = ReadBytes(path_);
  const std::string source = WriteSource(dir_, "c.txt", Bytes("third"));
  {
    LockHolder holder(path_);
    EXPECT_EQ(AddFile(source, archive, Options(true), port_), AddResult::Failed);
    EXPECT_FALSE(DeleteFiles(archive, {1}, port_));
    EXPECT_FALSE(RenameFile(archive, 1, "Z.TXT", port_));
    AddBatch batch(archive);
    EXPECT_EQ(AddFile(source, archive, Options(true), port_, &batch), AddResult::Failed);
    EXPECT_TRUE(batch.Failed());
    EXPECT_FALSE(batch.Commit(port_));
  }
  ASSERT_EQ(port_.errors.size(), 4u);
  for (const auto& error : port_.errors) {
    EXPECT_EQ(error.description, path_ + " is being changed by another program; nothing was written.");
  }
  EXPECT_EQ(Describe(archive), before);
  EXPECT_EQ(ReadBytes(path_), bytes);
  EXPECT_FALSE(std::filesystem::exists(JournalPath(path_)));
  EXPECT_EQ(AddFile(source, archive, Options(true), port_), AddResult::Added);  // once it is let go
}

TEST_F(OtherWritersTest, AWriterWaitingWhileTheArchiveIsReplacedWritesNothing) {
  SKIP_ON_WINDOWS(
      "a file another program holds open cannot be replaced there; the replacing one fails instead");
  PffArchive archive = MakeArchive();
  const std::string replacement = dir_.File("new.pff");
  const PffArchive renewed = WriteArchive(replacement, 36, {{"C.TXT", Pattern(5, 3)}});
  const std::vector<uint8_t> renewedBytes = ReadBytes(replacement);
  ArchiveTransaction::LockWaitMs = 2000;
  {
    // As compaction does: hold the old file's lock, rename a new file over it, let go.
    LockHolder holder(path_, [&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      RenameReplace(replacement, path_);
    });
    EXPECT_FALSE(DeleteFiles(archive, {1}, port_));
  }
  ASSERT_EQ(port_.errors.size(), 1u);
  EXPECT_EQ(port_.errors[0].description,
            path_ + " was changed by another program; it has been read again, nothing was written.");
  EXPECT_EQ(ReadBytes(path_), renewedBytes);
  EXPECT_EQ(Describe(archive), Describe(PffArchive{path_, renewed.Header, renewed.Entries}));
}

TEST_F(OtherWritersTest, OpeningLeavesTheJournalOfARunningChangeAlone) {
  MakeArchive();
  WriteBytes(JournalPath(path_), Bytes("a journal being written"));
  {
    LockHolder holder(path_);
    ArchiveTable table;
    EXPECT_TRUE(OpenFile(table, path_, port_));
    EXPECT_TRUE(std::filesystem::exists(JournalPath(path_)));
  }
  ArchiveTable table;
  EXPECT_TRUE(OpenFile(table, path_, port_));  // now it is a leftover: removed, nothing undone
  EXPECT_FALSE(std::filesystem::exists(JournalPath(path_)));
  EXPECT_TRUE(port_.notices.empty());
  EXPECT_TRUE(port_.errors.empty());
}

TEST_F(OtherWritersTest, LayoutsThatWouldOverwriteHeaderOrDataAreRefusedBeforeWriting) {
  struct Case {
    const char* label;
    int32_t dirOffset, entrySize;
    std::vector<PffEntry> entries;
  };
  const PffEntry deadInHeader{1, 4, 50, 0, DeadSpaceName()};
  const PffEntry liveBehindDirectory{0, 100, 40, 0, MakeEntryName("behind.dat")};
  const PffEntry deadOverLive{1, 30, 50, 0, DeadSpaceName()},
      liveUnderDead{0, 40, 20, 0, MakeEntryName("a.txt")};
  // Two 32-byte records at 100 end with their footer at 218; re-using the
  // dead space adds a third record, over the live data there.
  const PffEntry deadToReuse{1, 20, 70, 0, DeadSpaceName()},
      liveBehindFooter{0, 218, 10, 0, MakeEntryName("b.txt")};
  const Case cases[] = {
      {"no entries, directory at 0", 0, 32, {}},
      {"no entries, directory at 19", 19, 36, {}},
      {"no entries, records of 0x70000000 bytes", 100, 0x70000000, {}},
      {"dead space over the header", 100, 32, {deadInHeader}},
      {"live data where the data would go", 60, 32, {liveBehindDirectory}},
      {"dead space to re-use over live data", 100, 32, {deadOverLive, liveUnderDead}},
      {"live data where the directory grows", 100, 32, {deadToReuse, liveBehindFooter}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    std::vector<uint8_t> bytes(160, 0x55);
    const PffArchive model{
        path_, {20, {'P', 'F', 'F', '3'}, int32_t(c.entries.size()), c.entrySize, c.dirOffset}, c.entries};
    {
      WriteBytes(path_, bytes);
      BinaryFile file = BinaryFile::Open(path_, BinaryFile::Mode::Update);
      if (!c.entries.empty()) WriteDirectoryTo(file, model.Header, c.entries);
      WriteHeader(file, model.Header);
    }
    bytes = ReadBytes(path_);
    RecordingPort port;
    ArchiveTable table;
    ASSERT_TRUE(OpenFile(table, path_, port));
    PffArchive& archive = table.Archive(1);

    EXPECT_EQ(AddFile(WriteSource(dir_, "x.bin", Pattern(50, 0)), archive, Options(true), port),
              AddResult::Failed);

    EXPECT_EQ(port.ErrorRoutines(), std::vector<Routine>{Routine::AddFile});
    EXPECT_EQ(ReadBytes(path_), bytes);
    EXPECT_EQ(Describe(archive), Describe(model));
  }
}

}  // namespace
}  // namespace pff::test
