#include "editing/extract_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "editing_fixture.h"
#include "engine/binary_file.h"
#include "support/recording_port.h"

namespace fs = std::filesystem;

namespace pff::test {
namespace {

std::vector<std::string> Listing(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& item : fs::directory_iterator(folder)) names.push_back(item.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class ExtractFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    archivePath_ = dir_.File("a.pff");
    archive_ = WriteArchive(archivePath_, 36,
                            {{"FOUR.BIN", Pattern(4, 10)},
                             {"EMPTY.TXT", {}},
                             {"<DEAD SPACE>", Bytes("dead bytes"), 1},
                             {"\xE9t\xE9.txt", Bytes("latin")}});
    out_ = dir_.Path() / "out";
    fs::create_directory(out_);
  }
  void TearDown() override { FileFaults::Clear(); }

  TempDir dir_;
  RecordingPort port_;
  std::string archivePath_;
  PffArchive archive_;
  fs::path out_;
};

TEST_F(ExtractFileTest, TargetHoldsExactlyTheEntryWhateverWasThere) {
  struct Case {
    const char* label;
    int index;
    std::optional<std::vector<uint8_t>> existing;
    std::vector<uint8_t> expected;
  };
  const std::vector<Case> cases = {
      {"new file", 1, std::nullopt, Pattern(4, 10)},
      {"over 10 bytes", 1, Pattern(10, 99), Pattern(4, 10)},
      {"over 1 byte", 1, Pattern(1, 99), Pattern(4, 10)},
      {"over 2 bytes", 1, Pattern(2, 99), Pattern(4, 10)},
      {"over 3 bytes", 1, Pattern(3, 99), Pattern(4, 10)},
      {"empty entry, new file", 2, std::nullopt, {}},
      {"empty entry over 10 bytes", 2, Pattern(10, 99), {}},
      {"dead space under its own name", 3, std::nullopt, Bytes("dead bytes")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string name = StripNulls(NameBytes(archive_.Entry(c.index).Name));
    const std::string expectedPath = (out_ / name).string();
    fs::remove(expectedPath);
    if (c.existing) WriteBytes(expectedPath, *c.existing);

    const std::optional<std::string> written = ExtractFile(archive_, c.index, out_.string(), port_);

    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(*written, expectedPath);
    EXPECT_EQ(ReadBytes(expectedPath), c.expected);
  }
  EXPECT_TRUE(port_.errors.empty());
}

TEST_F(ExtractFileTest, Latin1NamesBecomeUtf8FileNames) {
  const std::optional<std::string> written = ExtractFile(archive_, 4, out_.string(), port_);
  ASSERT_TRUE(written.has_value());
  EXPECT_EQ(fs::path(*written).filename().string(), "\xC3\xA9t\xC3\xA9.txt");
  EXPECT_EQ(ReadBytes(*written), Bytes("latin"));
}

TEST_F(ExtractFileTest, FolderWithADotIsUsedAsItIs) {
  const fs::path folder = dir_.Path() / "x.y" / "out";
  fs::create_directories(folder);
  const std::optional<std::string> written = ExtractFile(archive_, 1, folder.string(), port_);
  ASSERT_TRUE(written.has_value());
  EXPECT_EQ(Listing(folder), std::vector<std::string>{"FOUR.BIN"});
  EXPECT_EQ(Listing(dir_.Path() / "x.y"), std::vector<std::string>{"out"});
}

TEST_F(ExtractFileTest, NamesThatLeaveTheFolderAreRefused) {
  const fs::path inner = out_ / "inner";
  fs::create_directory(inner);
  for (const char* hostile : {"..", ".", "a/b", "a\\b", "../evil", ""}) {
    SCOPED_TRACE(hostile);
    RecordingPort port;
    PffArchive archive = archive_;
    archive.Entry(1).Name = MakeEntryName(hostile);
    EXPECT_FALSE(EntryFileName(archive.Entry(1)).has_value());

    EXPECT_FALSE(ExtractFile(archive, 1, inner.string(), port).has_value());

    EXPECT_EQ(port.ErrorRoutines(), std::vector<std::string>{"ExtractFile"});
    EXPECT_TRUE(Listing(inner).empty());
    EXPECT_EQ(Listing(out_), std::vector<std::string>{"inner"});
  }
}

TEST_F(ExtractFileTest, EntriesOutsideTheArchiveFileAreRefused) {
  const int64_t length = static_cast<int64_t>(fs::file_size(archivePath_));
  struct Case {
    const char* label;
    int32_t offset, size;
  };
  const std::vector<Case> cases = {
      {"negative offset", -1, 4},
      {"negative size", 20, -4},
      {"runs one byte past the end", static_cast<int32_t>(length - 3), 4},
      {"starts past the end", static_cast<int32_t>(length + 10), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    RecordingPort port;
    PffArchive archive = archive_;
    archive.Entry(1).DataOffset = c.offset;
    archive.Entry(1).DataSize = c.size;

    EXPECT_FALSE(ExtractFile(archive, 1, out_.string(), port).has_value());

    EXPECT_EQ(port.ErrorRoutines(), std::vector<std::string>{"ExtractFile"});
    EXPECT_TRUE(Listing(out_).empty());
  }
  // The last byte of the file is still in reach.
  PffArchive archive = archive_;
  archive.Entry(1).DataOffset = static_cast<int32_t>(length - 4);
  EXPECT_TRUE(ExtractFile(archive, 1, out_.string(), port_).has_value());
  EXPECT_EQ(ReadBytes((out_ / "FOUR.BIN").string()), Bytes("KING"));
}

TEST_F(ExtractFileTest, BadIndexOrTheArchiveItselfAsTargetIsRefused) {
  for (int index : {0, -1, 5}) {
    RecordingPort port;
    EXPECT_FALSE(ExtractFile(archive_, index, out_.string(), port).has_value()) << index;
    EXPECT_EQ(port.ErrorRoutines(), std::vector<std::string>{"ExtractFile"});
  }
  // An entry named like its own archive, extracted into the archive's folder.
  const std::vector<uint8_t> bytes = ReadBytes(archivePath_);
  PffArchive archive = archive_;
  archive.Entry(1).Name = MakeEntryName("a.pff");
  EXPECT_FALSE(ExtractFile(archive, 1, dir_.Path().string(), port_).has_value());
  EXPECT_EQ(port_.ErrorRoutines(), std::vector<std::string>{"ExtractFile"});
  EXPECT_EQ(ReadBytes(archivePath_), bytes);
}

TEST_F(ExtractFileTest, FailedWriteLeavesNoPartialFile) {
  WriteBytes((out_ / "FOUR.BIN").string(), Pattern(10, 0));
  FileFaults::FailNth(FileFaults::Op::Write, 1);
  EXPECT_FALSE(ExtractFile(archive_, 1, out_.string(), port_).has_value());
  EXPECT_EQ(port_.ErrorRoutines(), std::vector<std::string>{"ExtractFile"});
  EXPECT_TRUE(Listing(out_).empty());
}

TEST_F(ExtractFileTest, CanWriteFolderLeavesItsScratchFile) {
  const std::string scratch = (out_ / "Tav_Oskin.Tav").string();
  EXPECT_TRUE(CanWriteFolder(out_.string()));
  EXPECT_TRUE(fs::exists(scratch));
  // An existing scratch file is opened, never emptied.
  WriteBytes(scratch, Bytes("keep"));
  EXPECT_TRUE(CanWriteFolder(out_.string() + "/"));
  EXPECT_EQ(ReadBytes(scratch), Bytes("keep"));

  EXPECT_FALSE(CanWriteFolder((out_ / "missing").string()));
  EXPECT_FALSE(CanWriteFolder(""));
  FileFaults::FailNth(FileFaults::Op::Open, 1);
  EXPECT_FALSE(CanWriteFolder(out_.string()));
}

}  // namespace
}  // namespace pff::test
