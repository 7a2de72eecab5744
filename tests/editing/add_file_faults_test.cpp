// Failed additions leave no trace: not in memory, and no entry whose data was
// never written reaches the file through a later rewrite.
#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "editing/add_file.h"
#include "editing_fixture.h"
#include "engine/binary_file.h"
#include "support/recording_port.h"

namespace pff::test {
namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

EngineOptions Options(bool reuse, bool overwrite = false) {
  EngineOptions options;
  options.ReUseDeadSpaces = reuse;
  options.AlwaysOverwrite = overwrite;
  return options;
}

class AddFileFaultTest : public ::testing::Test {
 protected:
  void TearDown() override { FileFaults::Clear(); }

  // An archive with a live entry to replace, so a failure also has to bring back the replaced entry.
  PffArchive MakeArchive(const std::string& path) {
    return WriteArchive(path, 36, {{"README.TXT", Pattern(40, 1)}, {"<DEAD SPACE>", Pattern(8, 0), 1}});
  }

  // A model with no file behind it; its size limits are checked before anything is written.
  PffArchive InMemory(const std::string& path, int32_t dirOffset, std::vector<PffEntry> entries) {
    PffArchive archive;
    archive.Path = path;
    archive.Header.HeaderSize = 20;
    archive.Header.Magic = {'P', 'F', 'F', '3'};
    archive.Header.EntrySize = 36;
    archive.Header.DirOffset = dirOffset;
    archive.Header.EntryCount = static_cast<int32_t>(entries.size());
    archive.Entries = std::move(entries);
    return archive;
  }

  static PffEntry Entry(int32_t dead, int32_t offset, int32_t size, const std::string& name) {
    PffEntry entry;
    entry.DeadFlag = dead;
    entry.DataOffset = offset;
    entry.DataSize = size;
    entry.Name = MakeEntryName(name);
    return entry;
  }

  TempDir dir_;
  RecordingPort port_;
};

TEST_F(AddFileFaultTest, FailedGetFileHeaderChangesNothing) {
  const std::string path = dir_.File("a.pff");
  PffArchive archive = MakeArchive(path);
  const std::string before = Describe(archive);
  const std::vector<uint8_t> bytes = ReadBytes(path);

  EXPECT_EQ(AddFile(dir_.File("missing.txt"), archive, Options(true, true), port_), AddResult::Failed);

  EXPECT_EQ(port_.ErrorRoutines(), std::vector<std::string>{"GetFileHeader"});
  EXPECT_EQ(Describe(archive), before);
  EXPECT_EQ(ReadBytes(path), bytes);
}

TEST_F(AddFileFaultTest, AnyFailingOpenOrWriteRestoresMemoryAndFile) {
  struct Fault {
    FileFaults::Op op;
    const char* label;
  };
  for (const Fault& fault : {Fault{FileFaults::Op::Open, "open"}, Fault{FileFaults::Op::Write, "write"}}) {
    int failures = 0;
    for (int nth = 1; nth <= 10; ++nth) {
      SCOPED_TRACE(std::string(fault.label) + " " + std::to_string(nth));
      RecordingPort port;
      const std::string path = dir_.File("a.pff");
      PffArchive archive = MakeArchive(path);
      const std::string before = Describe(archive);
      // Without reuse the new data goes over the old directory: the worst place to stop halfway.
      const std::string source = WriteSource(dir_, "readme.txt", Pattern(100, 7));

      FileFaults::FailNth(fault.op, nth);
      const AddResult result = AddFile(source, archive, Options(false, true), port);
      FileFaults::Clear();
      if (result == AddResult::Added) break;

      ++failures;
      EXPECT_EQ(result, AddResult::Failed);
      EXPECT_EQ(port.ErrorRoutines(), std::vector<std::string>{"AddFile"});
      EXPECT_EQ(Describe(archive), before);
      EXPECT_EQ(Describe(Reopen(path)), before);

      // A later addition stores its own entry and nothing of the failed one.
      ASSERT_EQ(AddFile(WriteSource(dir_, "other.bin", Bytes("other")), archive, Options(false), port),
                AddResult::Added);
      const PffArchive reread = Reopen(path);
      EXPECT_EQ(Describe(reread), Describe(archive));
      ASSERT_EQ(reread.Header.EntryCount, 3);
      EXPECT_EQ(NameBytes(reread.Entry(1).Name), NameBytes(MakeEntryName("README.TXT")));
      EXPECT_EQ(NameBytes(reread.Entry(3).Name), NameBytes(MakeEntryName("other.bin")));
    }
    // Source and archive opens; header, data and directory writes.
    EXPECT_GE(failures, fault.op == FileFaults::Op::Open ? 2 : 3) << fault.label;
  }
}

TEST_F(AddFileFaultTest, DirectoryStopsAt32767Entries) {
  struct Case {
    const char* label;
    int liveEntries;
    bool deadSlotOfSameSize;
    AddResult expected;
  };
  const std::vector<Case> cases = {
      {"32,766 entries take one more", 32766, false, AddResult::Added},
      {"32,767 entries take no more", 32767, false, AddResult::Failed},
      {"a full directory still re-uses a slot in place", 32766, true, AddResult::Added},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    RecordingPort port;
    const std::string path = dir_.File(std::string("full") + std::to_string(&c - cases.data()) + ".pff");
    std::vector<PffEntry> entries(static_cast<size_t>(c.liveEntries), Entry(0, 20, 0, "E"));
    if (c.deadSlotOfSameSize) entries.push_back(Entry(1, 20, 4, "<DEAD SPACE>"));
    PffArchive archive = InMemory(path, 24, entries);
    const std::string before = Describe(archive);

    EXPECT_EQ(AddFile(WriteSource(dir_, "four.bin", Bytes("four")), archive, Options(true), port),
              c.expected);

    if (c.expected == AddResult::Failed) {
      EXPECT_EQ(port.ErrorRoutines(), std::vector<std::string>{"AddFile"});
      // Not EXPECT_EQ: a diff of two 32,767-line texts takes minutes.
      EXPECT_TRUE(Describe(archive) == before);
      EXPECT_FALSE(std::filesystem::exists(path)) << "nothing may be written";
    } else {
      EXPECT_TRUE(port.errors.empty());
      EXPECT_LE(archive.Header.EntryCount, 32767);
      EXPECT_TRUE(Describe(Reopen(path)) == Describe(archive));
    }
  }
}

TEST_F(AddFileFaultTest, ArchiveStopsAtTwoGibibytes) {
  const int32_t stampEnd = 36 + 8 + 46;  // one 36-byte record, footer zeros and stamp
  struct Case {
    const char* label;
    int32_t dirOffset;
    std::vector<PffEntry> entries;
    int32_t fileSize;
    bool reuse;
  };
  const std::vector<Case> cases = {
      {"data would move the directory past 2^31 - 1", kMax - 99, {}, 100, false},
      {"the footer would end past 2^31 - 1", kMax - stampEnd + 1, {}, 0, false},
      {"a dead slot that ends past 2^31 - 1, split",
       1000,
       {Entry(1, kMax - 50, 100, "<DEAD SPACE>")},
       10,
       true},
      {"a dead slot that ends past 2^31 - 1, in place",
       1000,
       {Entry(1, kMax - 50, 100, "<DEAD SPACE>")},
       100,
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    RecordingPort port;
    const std::string path = dir_.File("big.pff");
    PffArchive archive = InMemory(path, c.dirOffset, c.entries);
    const std::string before = Describe(archive);

    EXPECT_EQ(AddFile(WriteSource(dir_, "f.bin", Pattern(static_cast<size_t>(c.fileSize), 0)), archive,
                      Options(c.reuse), port),
              AddResult::Failed);

    EXPECT_EQ(port.ErrorRoutines(), std::vector<std::string>{"AddFile"});
    EXPECT_EQ(Describe(archive), before);
    EXPECT_FALSE(std::filesystem::exists(path)) << "nothing may be written";
  }
}

TEST_F(AddFileFaultTest, AnArchiveEndingExactlyAt2To31Minus1IsAccepted) {
  // The directory and footer end on the last byte a signed 32-bit offset can address (a sparse file).
  const std::string path = dir_.File("edge.pff");
  const int32_t dirOffset = kMax - (36 + 8 + 46) - 10;
  PffArchive archive = InMemory(path, dirOffset, {});
  ASSERT_EQ(AddFile(WriteSource(dir_, "ten.bin", Pattern(10, 0)), archive, Options(false), port_),
            AddResult::Added);
  EXPECT_EQ(std::filesystem::file_size(path), static_cast<uintmax_t>(kMax));
}

TEST_F(AddFileFaultTest, SourceThatChangesDuringTheQuestionIsRefused) {
  // A port that answers Yes while the file grows behind its back.
  class GrowingPort : public RecordingPort {
   public:
    explicit GrowingPort(std::string path) : path_(std::move(path)) {}
    bool AskYesNo(const std::string& title, const std::string& text) override {
      WriteBytes(path_, Pattern(500, 0));
      RecordingPort::AskYesNo(title, text);
      return true;
    }

   private:
    std::string path_;
  };
  const std::string path = dir_.File("a.pff");
  PffArchive archive = MakeArchive(path);
  const std::string before = Describe(archive);
  const std::vector<uint8_t> bytes = ReadBytes(path);
  const std::string source = WriteSource(dir_, "README.TXT", Pattern(10, 0));
  GrowingPort port(source);

  EXPECT_EQ(AddFile(source, archive, Options(true), port), AddResult::Failed);

  EXPECT_EQ(port.ErrorRoutines(), std::vector<std::string>{"AddFile"});
  EXPECT_EQ(Describe(archive), before);
  EXPECT_EQ(ReadBytes(path), bytes);
}

TEST_F(AddFileFaultTest, AnArchiveIsNotAddedToItself) {
  const std::string path = dir_.File("self.pff");
  PffArchive archive = MakeArchive(path);
  const std::vector<uint8_t> bytes = ReadBytes(path);

  EXPECT_EQ(AddFile(path, archive, Options(true), port_), AddResult::Failed);

  EXPECT_EQ(port_.ErrorRoutines(), std::vector<std::string>{"AddFile"});
  EXPECT_EQ(ReadBytes(path), bytes);
}

}  // namespace
}  // namespace pff::test
