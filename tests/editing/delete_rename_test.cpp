#include "editing/delete_rename.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "editing/add_file.h"
#include "editing_fixture.h"
#include "engine/binary_file.h"
#include "support/recording_port.h"

namespace pff::test {
namespace {

class DeleteRenameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.File("a.pff");
    archive_ = WriteArchive(path_, 36,
                            {{"a.txt", Pattern(10, 1), 0, 111},
                             {"B.TXT", Pattern(20, 2), 0, 222},
                             {"<DEAD SPACE>", Pattern(30, 3), 1, 333},
                             {"D.TXT", Pattern(5, 4), 0, 444}});
  }
  void TearDown() override { FileFaults::Clear(); }

  // Bytes before the directory: header and data, which delete and rename never write.
  std::vector<uint8_t> HeaderAndData() const {
    return Slice(ReadBytes(path_), 0, static_cast<size_t>(archive_.Header.DirOffset));
  }

  TempDir dir_;
  RecordingPort port_;
  std::string path_;
  PffArchive archive_;
};

TEST_F(DeleteRenameTest, DeleteKeepsOffsetSizeTimeAndEveryByteBeforeTheDirectory) {
  const PffArchive before = archive_;
  const std::vector<uint8_t> untouched = HeaderAndData();

  EXPECT_TRUE(DeleteFile(archive_, 2, port_));

  const PffEntry& entry = archive_.Entry(2);
  EXPECT_EQ(entry.DeadFlag, 1);
  EXPECT_EQ(NameBytes(entry.Name), NameBytes(DeadSpaceName()));
  EXPECT_EQ(entry.DataOffset, before.Entry(2).DataOffset);
  EXPECT_EQ(entry.DataSize, 20);
  EXPECT_EQ(entry.FileTime, 222);
  EXPECT_EQ(archive_.Header.EntryCount, 4);
  EXPECT_EQ(archive_.Header.DirOffset, before.Header.DirOffset);
  EXPECT_EQ(HeaderAndData(), untouched);
  const std::vector<uint8_t> bytes = ReadBytes(path_);
  EXPECT_EQ(Slice(bytes, static_cast<size_t>(archive_.Header.DirOffset + 4 * 36 + 8), 46),
            Bytes("KING, Modified By Tav Oskin's Vellumcraft v0.7"));
  EXPECT_EQ(Describe(Reopen(path_)), Describe(archive_));
  EXPECT_TRUE(port_.errors.empty());
}

TEST_F(DeleteRenameTest, DeleteFilesRewritesTheDirectoryOnce) {
  // A second open or a second write would hit the armed faults.
  FileFaults::FailNth(FileFaults::Op::Open, 2);
  FileFaults::FailNth(FileFaults::Op::Write, 2);
  EXPECT_TRUE(DeleteFiles(archive_, {4, 1, 3}, port_));
  FileFaults::Clear();

  for (int index : {1, 3, 4}) EXPECT_EQ(archive_.Entry(index).DeadFlag, 1) << index;
  EXPECT_EQ(archive_.Entry(2).DeadFlag, 0);
  EXPECT_EQ(Describe(Reopen(path_)), Describe(archive_));
}

TEST_F(DeleteRenameTest, BadIndicesAreReportedAndTheOthersStillGo) {
  const std::vector<uint8_t> bytes = ReadBytes(path_);
  const std::string before = Describe(archive_);
  for (int index : {0, -1, 5}) {
    RecordingPort port;
    EXPECT_FALSE(DeleteFile(archive_, index, port)) << index;
    EXPECT_EQ(port.ErrorRoutines(), std::vector<std::string>{"DeleteFile"});
  }
  EXPECT_EQ(Describe(archive_), before);
  EXPECT_EQ(ReadBytes(path_), bytes);

  EXPECT_FALSE(DeleteFiles(archive_, {99, 2}, port_));
  EXPECT_EQ(port_.ErrorRoutines(), std::vector<std::string>{"DeleteFile"});
  EXPECT_EQ(archive_.Entry(2).DeadFlag, 1);
  EXPECT_EQ(Describe(Reopen(path_)), Describe(archive_));

  RecordingPort renamePort;
  EXPECT_FALSE(RenameFile(archive_, 5, "X", renamePort));
  EXPECT_EQ(renamePort.ErrorRoutines(), std::vector<std::string>{"RenameFile"});
}

TEST_F(DeleteRenameTest, FailedRewriteRestoresMemoryAndFile) {
  struct Case {
    const char* label;
    FileFaults::Op op;
    bool rename;
  };
  const std::vector<Case> cases = {
      {"delete, open fails", FileFaults::Op::Open, false},
      {"delete, write fails", FileFaults::Op::Write, false},
      {"rename, open fails", FileFaults::Op::Open, true},
      {"rename, write fails", FileFaults::Op::Write, true},
  };
  const std::string before = Describe(archive_);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    RecordingPort port;
    FileFaults::FailNth(c.op, 1);
    const bool done =
        c.rename ? RenameFile(archive_, 3, "NEW.TXT", port) : DeleteFiles(archive_, {1, 2}, port);
    FileFaults::Clear();

    EXPECT_FALSE(done);
    EXPECT_EQ(port.ErrorRoutines(), std::vector<std::string>{c.rename ? "RenameFile" : "DeleteFile"});
    EXPECT_EQ(Describe(archive_), before);
    EXPECT_EQ(Describe(Reopen(path_)), before);
  }
  // The failed change does not ride along with the next successful one.
  ASSERT_TRUE(DeleteFile(archive_, 4, port_));
  const PffArchive reread = Reopen(path_);
  EXPECT_EQ(reread.Entry(1).DeadFlag, 0);
  EXPECT_EQ(reread.Entry(3).DeadFlag, 1);
  EXPECT_EQ(reread.Entry(4).DeadFlag, 1);
}

TEST_F(DeleteRenameTest, RenamedDeadSpaceBecomesALiveEntryOverItsRegion) {
  const PffEntry before = archive_.Entry(3);
  const std::vector<uint8_t> untouched = HeaderAndData();

  EXPECT_TRUE(RenameFile(archive_, 3, "SAVED.DAT", port_));

  const PffEntry& entry = archive_.Entry(3);
  EXPECT_EQ(entry.DeadFlag, 0);
  EXPECT_EQ(NameBytes(entry.Name), NameBytes(MakeEntryName("SAVED.DAT")));
  EXPECT_EQ(entry.DataOffset, before.DataOffset);
  EXPECT_EQ(entry.DataSize, before.DataSize);
  EXPECT_EQ(entry.FileTime, before.FileTime);
  EXPECT_EQ(HeaderAndData(), untouched);
  EXPECT_EQ(Describe(Reopen(path_)), Describe(archive_));

  // A name of more than 16 bytes keeps its first 16.
  EXPECT_TRUE(RenameFile(archive_, 1, "ABCDEFGHIJKLMNOPQ", port_));
  EXPECT_EQ(NameBytes(archive_.Entry(1).Name), "ABCDEFGHIJKLMNOP");
  EXPECT_TRUE(port_.errors.empty());
}

TEST_F(DeleteRenameTest, EveryRecordTailIsZeroAfterAnyRewrite) {
  const std::string source = WriteSource(dir_, "three", Bytes("333"));
  const std::vector<std::pair<const char*, std::function<bool(PffArchive&)>>> edits = {
      {"add", [&](PffArchive& a) { return AddFile(source, a, EngineOptions{}, port_) == AddResult::Added; }},
      {"delete", [&](PffArchive& a) { return DeleteFile(a, 1, port_); }},
      {"rename", [&](PffArchive& a) { return RenameFile(a, 2, "THREE", port_); }},
  };
  for (const auto& [label, edit] : edits) {
    SCOPED_TRACE(label);
    // The hand-made records carry 0xAA in bytes 32 to 35.
    PffArchive archive = WriteArchive(path_, 36, {{"ONE", Bytes("1")}, {"TWO", Bytes("22")}});
    ASSERT_TRUE(edit(archive));
    const std::vector<uint8_t> bytes = ReadBytes(path_);
    for (int i = 0; i < archive.Header.EntryCount; ++i) {
      EXPECT_EQ(Slice(bytes, static_cast<size_t>(archive.Header.DirOffset + i * 36 + 32), 4),
                std::vector<uint8_t>(4, 0))
          << "record " << i + 1;
    }
  }
}

TEST_F(DeleteRenameTest, NewNameChecks) {
  PffArchive noDead = archive_;
  noDead.Entries.erase(noDead.Entries.begin() + 2);
  noDead.Header.EntryCount = 3;
  struct Case {
    const char* label;
    const PffArchive* archive;
    std::string name;
    RenameCheck expected;
  };
  const std::vector<Case> cases = {
      {"empty", &archive_, "", RenameCheck::Empty},
      {"own name in other case", &archive_, "A.TXT", RenameCheck::Used},
      {"another entry's name", &archive_, "b.txt", RenameCheck::Used},
      {"16 bytes", &archive_, "ABCDEFGHIJKLMNOP", RenameCheck::Ok},
      {"17 bytes", &archive_, "ABCDEFGHIJKLMNOPQ", RenameCheck::TooLong},
      {"dead space name with dead space present", &archive_, "<DEAD SPACE>", RenameCheck::Used},
      {"dead space name, lower case", &archive_, "<dead space>", RenameCheck::Used},
      {"dead space name without dead space", &noDead, "<DEAD SPACE>", RenameCheck::Ok},
      {"a prefix is not the name", &archive_, "a.tx", RenameCheck::Ok},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckNewName(*c.archive, c.name), c.expected) << c.label;
  }
}

TEST_F(DeleteRenameTest, NewNameMessages) {
  EXPECT_EQ(
      RenameCheckMessage(RenameCheck::TooLong, "ABCDEFGHIJKLMNOPQ"),
      "Error, File Name \"ABCDEFGHIJKLMNOPQ\" Is Too Long!\r\nIt MUST be less or equal to 16 Chracters!");
  EXPECT_EQ(RenameCheckMessage(RenameCheck::Used, "A.TXT"), "Error, File Name \"A.TXT\" Is Used!");
  EXPECT_EQ(RenameCheckMessage(RenameCheck::Ok, "A.TXT"), "");
  EXPECT_EQ(RenameCheckMessage(RenameCheck::Empty, ""), "");
}

}  // namespace
}  // namespace pff::test
