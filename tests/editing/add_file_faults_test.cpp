// Failed additions leave no trace: not in memory, and no entry whose data was
// never written reaches the file through a later rewrite.
#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <optional>

#include "editing/add_file.h"
#include "editing_fixture.h"
#include "engine/journal.h"
#include "engine/pff_format.h"

namespace pff::test {
namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kDirectoryOfOne = 36 + 8 + 46;  // one record, footer zeros and stamp

class AddFileFaultTest : public EditingTest {
 protected:
  // A live entry to replace, so a failure also has to bring back the replaced entry.
  PffArchive MakeArchive(const std::string& path) {
    return WriteArchive(path, 36, {{"README.TXT", Pattern(40, 1)}, {"<DEAD SPACE>", Pattern(8, 0), 1}});
  }
  // Header and directory only; the data regions stay holes, so 2 GiB cost nothing.
  static PffArchive Sparse(const std::string& path, int32_t dirOffset, std::vector<PffEntry> entries) {
    const auto count = static_cast<int32_t>(entries.size());
    PffArchive archive{path, {20, {'P', 'F', 'F', '3'}, count, 36, dirOffset}, std::move(entries)};
    BinaryFile file = BinaryFile::Open(path, BinaryFile::Mode::Create);
    WriteHeader(file, archive.Header);
    WriteDirectoryTo(file, archive.Header, archive.Entries);
    file.Close();
    return archive;
  }
  static PffEntry Entry(int32_t dead, int32_t offset, int32_t size) {
    return {dead, offset, size, 0, MakeEntryName(dead ? "<DEAD SPACE>" : "E")};
  }
};

TEST_F(AddFileFaultTest, RefusedSourcesChangeNothing) {
  // A port that answers Yes while the file grows behind its back.
  class GrowingPort : public RecordingPort {
   public:
    explicit GrowingPort(std::string path) : path_(std::move(path)) {}
    bool AskReplace(const ReplaceRequest& request) override {
      WriteBytes(path_, Pattern(500, 0));
      RecordingPort::AskReplace(request);
      return true;
    }
    std::string path_;
  };
  const std::string path = dir_.File("a.pff");
  const std::string growing = WriteSource(dir_, "README.TXT", Pattern(10, 0));
  struct Case {
    const char* label;
    std::string source;
    Routine routine;
  };
  const Case cases[] = {
      {"GetFileHeader fails", dir_.File("missing.txt"), Routine::ReadFileHeader},
      {"the archive itself", path, Routine::AddFile},
      {"the file changes during the question", growing, Routine::AddFile},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    PffArchive archive = MakeArchive(path);
    const std::string before = Describe(archive);
    const std::vector<uint8_t> bytes = ReadBytes(path);
    GrowingPort port(growing);

    EXPECT_EQ(AddFile(c.source, archive, Options(true), port), AddResult::Failed);

    EXPECT_EQ(port.ErrorRoutines(), std::vector<Routine>{c.routine});
    EXPECT_EQ(Describe(archive), before);
    EXPECT_EQ(ReadBytes(path), bytes);
  }
}

TEST_F(AddFileFaultTest, LimitsAndLayoutAreCheckedBeforeAnythingIsWritten) {
  struct Case {
    const char* label;
    int live;  // entries of 0 bytes before the others
    std::vector<PffEntry> others;
    int32_t dirOffset, fileSize;
    AddResult expected;
  };
  // clang-format off
  const Case cases[] = {
      {"32,766 entries take one more", 32766, {}, 24, 4, AddResult::Added},
      {"32,767 entries take no more", 32767, {}, 24, 4, AddResult::Failed},
      {"a full directory still re-uses a slot in place", 32766, {Entry(1, 20, 4)}, 24, 4, AddResult::Added},
      {"data would move the directory past 2^31 - 1", 0, {}, kMax - 99, 100, AddResult::Failed},
      {"the footer would end past 2^31 - 1", 0, {}, kMax - kDirectoryOfOne + 1, 0, AddResult::Failed},
      {"the footer ends at 2^31 - 1 (a sparse file)", 0, {}, kMax - kDirectoryOfOne - 10, 10, AddResult::Added},
      {"a dead slot's tail past 2^31 - 1", 0, {Entry(1, kMax - 50, 100)}, 1000, 10, AddResult::Failed},
      {"a dead slot past 2^31 - 1, in place", 0, {Entry(1, kMax - 50, 100)}, 1000, 100, AddResult::Failed},
      // New data never goes under dead space that a later addition would re-use; empty entries lie nowhere.
      {"appending under dead space that runs over the directory", 0, {Entry(1, 20, 100)}, 24, 200,
       AddResult::Failed},
      {"re-using dead space that overlaps other dead space", 0, {Entry(1, 20, 10), Entry(1, 25, 10)}, 35, 10,
       AddResult::Failed},
      {"an empty dead slot inside the header takes an empty file", 0, {Entry(1, 5, 0)}, 24, 0, AddResult::Added},
  };
  // clang-format on
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    RecordingPort port;
    const std::string path = dir_.File("limit" + std::to_string(++n) + ".pff");
    std::vector<PffEntry> entries(static_cast<size_t>(c.live), Entry(0, 20, 0));
    entries.insert(entries.end(), c.others.begin(), c.others.end());
    PffArchive archive = Sparse(path, c.dirOffset, entries);
    const std::string before = Describe(archive);
    const auto length = std::filesystem::file_size(path);
    const std::string source = WriteSource(dir_, "f.bin", Pattern(size_t(c.fileSize), 0));

    EXPECT_EQ(AddFile(source, archive, Options(true), port), c.expected);

    if (c.expected == AddResult::Failed) {
      EXPECT_EQ(port.ErrorRoutines(), std::vector<Routine>{Routine::AddFile});
      // Not EXPECT_EQ: a diff of two 32,767-line texts takes minutes.
      EXPECT_TRUE(Describe(archive) == before);
      EXPECT_TRUE(Describe(Reopen(path)) == before);
      EXPECT_EQ(std::filesystem::file_size(path), length);
    } else {
      EXPECT_TRUE(port.errors.empty());
      EXPECT_LE(archive.Header.EntryCount, 32767);
      EXPECT_TRUE(Describe(Reopen(path)) == Describe(archive));
    }
  }
}

TEST_F(AddFileFaultTest, AStoppedAdditionLeavesTheArchiveAsBefore) {
  // A port that stops the copy at its n-th question.
  struct StoppingPort : RecordingPort {
    int answersLeft = 0;
    bool KeepGoing(int64_t) override { return answersLeft-- > 0; }
  };
  struct Case {
    const char* label;
    std::vector<uint8_t> data;  // the file added as README.TXT
    int goOnFor;                // questions answered Yes before the No
    bool afterAnother;          // in a batch, after another file was added
  };
  const Case cases[] = {
      {"a new 3 MiB entry, at once", Pattern(3 << 20, 3), 0, false},
      {"a new 3 MiB entry, half way", Pattern(3 << 20, 3), 2, false},
      {"a same-sized replacement, while reading", Pattern(40, 9), 0, false},
      {"a same-sized replacement, while writing", Pattern(40, 9), 1, false},
      {"a batch's second file undoes the first", Pattern(3 << 20, 3), 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string path = dir_.File("a.pff");
    PffArchive archive = MakeArchive(path);
    const std::vector<uint8_t> before = ReadBytes(path);
    const std::string record = Describe(archive);
    const std::string source = WriteSource(dir_, "README.TXT", c.data);
    const std::string other = WriteSource(dir_, "OTHER.BIN", Pattern(5, 1));
    StoppingPort port;
    port.answersLeft = c.goOnFor;
    std::optional<AddBatch> batch;
    if (c.afterAnother) {
      batch.emplace(archive);
      RecordingPort yes;
      ASSERT_EQ(AddFile(other, archive, Options(true, true), yes, &*batch), AddResult::Added);
    }
    EXPECT_EQ(AddFile(source, archive, Options(true, true), port, batch ? &*batch : nullptr),
              AddResult::Stopped);
    EXPECT_TRUE(port.errors.empty());
    if (batch) {
      EXPECT_TRUE(batch->Failed());  // ended: later additions are refused
    }
    EXPECT_EQ(Describe(archive), record);
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_FALSE(std::filesystem::exists(JournalPath(path)));
  }
}

}  // namespace
}  // namespace pff::test
