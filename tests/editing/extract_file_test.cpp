#include "editing/extract_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>
#include <utility>

#include "editing/add_file.h"
#include "editing_fixture.h"
#include "support/system_skips.h"

namespace fs = std::filesystem;

namespace pff::test {
namespace {

std::vector<std::string> Listing(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& item : fs::directory_iterator(folder)) names.push_back(item.path().filename().u8string());
  std::sort(names.begin(), names.end());
  return names;
}

class ExtractFileTest : public EditingTest {
 protected:
  void SetUp() override {
    archive_ = WriteArchive(archivePath_, 36,
                            {{"FOUR.BIN", Pattern(4, 10)},
                             {"EMPTY.TXT", {}},
                             {"<DEAD SPACE>", Bytes("dead bytes"), 1},
                             {"\xE9t\xE9.txt", Bytes("latin")}});
    fs::create_directories(out_);
  }
  void ExpectRefused(const PffArchive& archive, const fs::path& folder, int index = 1) {
    RecordingPort port;
    EXPECT_FALSE(ExtractFile(archive, index, folder.string(), port).has_value()) << index;
    EXPECT_EQ(port.ErrorRoutines(), std::vector<Routine>{Routine::ExtractEntry});
  }

  // Writes a changed record's directory into the file: the extraction refuses
  // a record that is not what the file holds.
  static PffArchive Stored(PffArchive archive) {
    BinaryFile file = BinaryFile::Open(archive.Path, BinaryFile::Mode::Update);
    WriteDirectoryTo(file, archive.Header, archive.Entries);
    file.Close();
    return archive;
  }

  std::string archivePath_ = dir_.File("a.pff");
  PffArchive archive_;
  fs::path out_ = dir_.Path() / "x.y" / "out";  // a dot in a folder name is no extension
};

TEST_F(ExtractFileTest, TargetHoldsExactlyTheEntryWhateverWasThere) {
  const std::vector<uint8_t> bytes = ReadBytes(archivePath_);
  // Entry, the size of the file already at the target (0: none), the target's name (UTF-8);
  // entry 2 is empty, entry 3 dead space.
  const std::tuple<int, size_t, std::string> cases[] = {
      {1, 0, "FOUR.BIN"}, {1, 10, "FOUR.BIN"},  {1, 1, "FOUR.BIN"},     {1, 2, "FOUR.BIN"},
      {1, 3, "FOUR.BIN"}, {2, 10, "EMPTY.TXT"}, {3, 0, "<DEAD SPACE>"}, {4, 0, "\xC3\xA9t\xC3\xA9.txt"}};
  for (const auto& [index, existing, name] : cases) {
    SCOPED_TRACE("entry " + std::to_string(index) + " over " + std::to_string(existing) + " bytes");
    if (kOnWindows && index == 3) continue;  // "<" and ">" are refused there (below)
    const PffEntry& entry = archive_.Entry(index);
    const std::string target = (out_ / fs::u8path(name)).u8string();
    fs::remove(target);
    if (existing > 0) WriteBytes(target, Pattern(existing, 99));

    EXPECT_EQ(ExtractFile(archive_, index, out_.string(), port_), target);
    EXPECT_EQ(ReadBytes(target), Slice(bytes, size_t(entry.DataOffset), size_t(entry.DataSize)));
  }
  EXPECT_TRUE(port_.errors.empty());
}

TEST_F(ExtractFileTest, NamesWindowsCannotHoldAreRefusedThereTheOthersWritten) {
  // On Windows "A:B.TXT" would land in a hidden stream of a file "A", and
  // "CON.TXT" is the console; Linux holds both.
  const PffArchive archive =
      WriteArchive(dir_.File("w.pff"), 36,
                   {{"A:B.TXT", Bytes("ads")}, {"CON.TXT", Bytes("con")}, {"OK.TXT", Bytes("ok")}});
  RecordingPort port;
  Extraction extraction(archive, out_.string(), port);
  EXPECT_EQ(extraction.Extract(1).has_value(), !kOnWindows);
  EXPECT_EQ(extraction.Extract(2).has_value(), !kOnWindows);
  EXPECT_TRUE(extraction.Extract(3).has_value());
  EXPECT_EQ(ReadBytes((out_ / "OK.TXT").string()), Bytes("ok"));
  if (kOnWindows) {
    ASSERT_EQ(port.ErrorRoutines(), std::vector<Routine>(2, Routine::ExtractEntry));
    EXPECT_EQ(port.errors[0].description,
              "The entry name \"A:B.TXT\" cannot be used as a file name: Windows does not allow \":\" in "
              "file names.");
    EXPECT_NE(port.errors[1].description.find("\"CON.TXT\""), std::string::npos);
    EXPECT_EQ(Listing(out_), std::vector<std::string>{"OK.TXT"});  // no stream host "A", no temporary
  } else {
    EXPECT_TRUE(port.errors.empty());
    EXPECT_EQ(Listing(out_), (std::vector<std::string>{"A:B.TXT", "CON.TXT", "OK.TXT"}));
  }
}

TEST_F(ExtractFileTest, NamesThatLeaveTheFolderAreRefused) {
  const fs::path inner = out_ / "inner";
  fs::create_directory(inner);
  for (const char* hostile : {"..", ".", "a/b", "a\\b", "../evil", ""}) {
    SCOPED_TRACE(hostile);
    PffArchive archive = archive_;
    archive.Entry(1).Name = MakeEntryName(hostile);
    EXPECT_FALSE(EntryFileName(archive.Entry(1)).has_value());
    ExpectRefused(archive, inner);
    EXPECT_TRUE(Listing(inner).empty());
    EXPECT_EQ(Listing(out_), std::vector<std::string>{"inner"});
  }
}

TEST_F(ExtractFileTest, EntriesOutsideTheArchiveOrOverItAreRefused) {
  Stored(archive_);  // with the footer a rewritten directory adds
  const auto length = static_cast<int32_t>(fs::file_size(archivePath_));
  const std::pair<int32_t, int32_t> outside[] = {{-1, 4}, {20, -4}, {length - 3, 4}};  // offset, size
  for (const auto& [offset, size] : outside) {
    SCOPED_TRACE(std::to_string(offset) + " " + std::to_string(size));
    PffArchive archive = archive_;
    archive.Entry(1).DataOffset = offset;
    archive.Entry(1).DataSize = size;
    ExpectRefused(Stored(archive), out_);
    EXPECT_TRUE(Listing(out_).empty());
  }
  // Data may reach up to the directory, not into it.
  PffArchive archive = archive_;
  const int32_t dirOffset = archive.Header.DirOffset;
  archive.Entry(1).DataOffset = dirOffset - 4;
  EXPECT_TRUE(ExtractFile(Stored(archive), 1, out_.string(), port_).has_value());
  const std::vector<uint8_t> file = ReadBytes(archivePath_);
  EXPECT_EQ(ReadBytes((out_ / "FOUR.BIN").string()), Slice(file, size_t(dirOffset) - 4, 4));
  archive.Entry(1).DataOffset = dirOffset - 3;
  ExpectRefused(Stored(archive), out_);

  // An entry named like its own archive, extracted into the archive's folder.
  archive.Entry(1).DataOffset = dirOffset - 4;
  archive.Entry(1).Name = MakeEntryName("a.pff");
  Stored(archive);
  const std::vector<uint8_t> bytes = ReadBytes(archivePath_);
  ExpectRefused(archive, dir_.Path());
  if (!kOnWindows) {                                                   // kNoLinks
    fs::create_directory_symlink(dir_.Path(), dir_.Path() / "alias");  // the same folder by another name
    ExpectRefused(archive, dir_.Path() / "alias");
  }
  EXPECT_EQ(ReadBytes(archivePath_), bytes);
}

TEST_F(ExtractFileTest, ABadIndexOrAFailedWriteLeavesTheOldFileAlone) {
  for (int index : {0, 5}) ExpectRefused(archive_, out_, index);
  WriteBytes((out_ / "FOUR.BIN").string(), Pattern(10, 0));
  FileFaults::FailNth(FileFaults::Op::Write, 1);
  ExpectRefused(archive_, out_);
  EXPECT_EQ(Listing(out_), std::vector<std::string>{"FOUR.BIN"});  // no temporary left either
  EXPECT_EQ(ReadBytes((out_ / "FOUR.BIN").string()), Pattern(10, 0));
}

TEST_F(ExtractFileTest, AStoppedCopyLeavesNothingAndReportsNothing) {
  // A port that lets the copy of a 3 MiB entry go on until it passed 1 MiB.
  struct StoppingPort : RecordingPort {
    std::vector<int64_t> asked;
    bool KeepGoing(int64_t copied) override {
      asked.push_back(copied);
      return copied < (int64_t{1} << 20);
    }
  };
  const PffArchive big = WriteArchive(dir_.File("big.pff"), 36, {{"BIG.BIN", Pattern(3 << 20, 7)}});
  WriteBytes((out_ / "BIG.BIN").string(), Bytes("older"));
  StoppingPort port;
  Extraction extraction(big, out_.string(), port);
  EXPECT_FALSE(extraction.Extract(1).has_value());
  EXPECT_TRUE(extraction.WasStopped());
  EXPECT_TRUE(port.errors.empty());
  EXPECT_EQ(port.asked, (std::vector<int64_t>{1 << 20}));
  EXPECT_EQ(Listing(out_), std::vector<std::string>{"BIG.BIN"});  // the old file, no temporary
  EXPECT_EQ(ReadBytes((out_ / "BIG.BIN").string()), Bytes("older"));
  RecordingPort goOn;
  Extraction again(big, out_.string(), goOn);
  EXPECT_TRUE(again.Extract(1).has_value());
  EXPECT_FALSE(again.WasStopped());
  EXPECT_EQ(ReadBytes((out_ / "BIG.BIN").string()), Pattern(3 << 20, 7));
}

TEST_F(ExtractFileTest, ALinkAtTheTargetIsReplacedNotFollowedAndAFolderThereIsAnError) {
  SKIP_ON_WINDOWS(kNoLinks);
  const std::string victim = dir_.File("victim");
  WriteBytes(victim, Bytes("precious"));
  fs::create_symlink(victim, out_ / "FOUR.BIN");
  ASSERT_TRUE(ExtractFile(archive_, 1, out_.string(), port_).has_value());
  EXPECT_FALSE(fs::is_symlink(out_ / "FOUR.BIN"));
  EXPECT_EQ(ReadBytes((out_ / "FOUR.BIN").string()), Pattern(4, 10));
  EXPECT_EQ(ReadBytes(victim), Bytes("precious"));

  fs::create_directory(out_ / "EMPTY.TXT");
  ExpectRefused(archive_, out_, 2);
  EXPECT_TRUE(fs::is_directory(out_ / "EMPTY.TXT"));
  EXPECT_EQ(Listing(out_), (std::vector<std::string>{"EMPTY.TXT", "FOUR.BIN"}));
}

TEST_F(ExtractFileTest, AddExtractAddKeepsTheStoredTime) {
  SKIP_UNLESS_ZONES_CHANGE();
  // Plain readings, the last second of 2037, just after a skipped hour, inside a repeated hour.
  const int32_t times[] = {1000000000, 18000, 2145934799, 1710059400, 1730615400};
  for (const char* zone : {"America/New_York", "Asia/Tokyo"}) {
    ScopedTimeZone tz(zone);
    for (int32_t time : times) {
      SCOPED_TRACE(std::string(zone) + " " + std::to_string(time));
      PffArchive archive = archive_;
      archive.Entry(1).FileTime = time;
      ASSERT_TRUE(ExtractFile(Stored(archive), 1, out_.string(), port_).has_value());
      const std::optional<PffEntry> header = GetFileHeader((out_ / "FOUR.BIN").string(), port_);
      ASSERT_TRUE(header.has_value());
      EXPECT_EQ(header->FileTime, time);
    }
  }
}

TEST_F(ExtractFileTest, ManyEntriesInAnyOrderComeOutWhole) {
  // Small entries go through the read-ahead buffer, the large one around it;
  // sizes vary so that entries straddle the ends of what was read.
  std::vector<FixtureEntry> items;
  for (int i = 0; i < 60; ++i) {
    const size_t size = i == 30 ? (100 << 10) : size_t(1 + (i * 7919) % 5000);
    items.push_back({"E" + std::to_string(i), Pattern(size, uint8_t(i)), i % 9 == 4 ? 1 : 0});
  }
  const PffArchive many = WriteArchive(dir_.File("many.pff"), 36, items);
  std::vector<int> orders[3];
  for (int i = 1; i <= 60; ++i) orders[0].push_back(i), orders[1].push_back(61 - i);
  for (int i = 1; i <= 60; ++i) orders[2].push_back(i % 2 ? i : 62 - i);  // 1, 60, 3, 58, ...
  for (const std::vector<int>& order : orders) {
    fs::remove_all(out_);
    fs::create_directories(out_);
    Extraction extraction(many, out_.string(), port_);
    for (int index : order) {
      SCOPED_TRACE(index);
      ASSERT_TRUE(extraction.Extract(index).has_value());
      EXPECT_EQ(ReadBytes((out_ / items[size_t(index - 1)].name).string()), items[size_t(index - 1)].data);
    }
  }
  EXPECT_EQ(Listing(out_).size(), 60u);
}

TEST_F(ExtractFileTest, FilesInTheWayAmongFreeNamesAreReplacedWhole) {
  if (kOnWindows) GTEST_SKIP() << "not on Windows: \"<DEAD SPACE>\" is a name Windows cannot hold";
  Extraction extraction(archive_, out_.string(), port_);
  WriteBytes((out_ / "EMPTY.TXT").string(), Bytes("older"));
  // A free name, one in the way, then free names again after it.
  for (int index : {1, 2, 3, 4}) ASSERT_TRUE(extraction.Extract(index).has_value()) << index;
  WriteBytes((out_ / "FOUR.BIN").string(), Bytes("older"));
  ASSERT_TRUE(extraction.Extract(1).has_value());
  EXPECT_EQ(ReadBytes((out_ / "FOUR.BIN").string()), Pattern(4, 10));
  EXPECT_TRUE(ReadBytes((out_ / "EMPTY.TXT").string()).empty());
  EXPECT_EQ(ReadBytes((out_ / "<DEAD SPACE>").string()), Bytes("dead bytes"));
  EXPECT_EQ(Listing(out_),
            (std::vector<std::string>{"<DEAD SPACE>", "EMPTY.TXT", "FOUR.BIN", "\xC3\xA9t\xC3\xA9.txt"}));
  EXPECT_TRUE(port_.errors.empty());
}

TEST_F(ExtractFileTest, AFailedNamingOrADeathLeavesNoPartOfTheFile) {
  // Every step that names the file, over a free name and over an old file.
  for (const bool inTheWay : {false, true}) {
    // Linux names a whole file with one link, or over an old one through a
    // temporary link and a rename; Windows renames a temporary file into place.
    const int steps = kOnWindows ? 1 : (inTheWay ? 3 : 1);
    for (int nth = 1; nth <= steps; ++nth) {
      SCOPED_TRACE(std::to_string(inTheWay) + " " + std::to_string(nth));
      fs::remove_all(out_);
      fs::create_directories(out_);
      if (inTheWay) WriteBytes((out_ / "FOUR.BIN").string(), Bytes("older"));
      FileFaults::FailNth(FileFaults::Op::Name, nth);
      ExpectRefused(archive_, out_);
      FileFaults::Clear();
      EXPECT_EQ(Listing(out_), inTheWay ? std::vector<std::string>{"FOUR.BIN"} : std::vector<std::string>{});
      if (inTheWay) {
        EXPECT_EQ(ReadBytes((out_ / "FOUR.BIN").string()), Bytes("older"));
      }
    }
  }
  // The program dies halfway through a large entry: nothing under its name.
  const PffArchive big = WriteArchive(dir_.File("big.pff"), 36, {{"BIG.BIN", Pattern(3 << 20, 7)}});
  FileFaults::CrashAfterNth(1);
  EXPECT_THROW(ExtractFile(big, 1, out_.string(), port_), SimulatedCrash);
  FileFaults::Clear();
  EXPECT_FALSE(fs::exists(out_ / "BIG.BIN"));
}

TEST_F(ExtractFileTest, CanWriteFolderNeverEmptiesAnExistingScratchFile) {
  WriteBytes((out_ / "Tav_Oskin.Tav").string(), Bytes("keep"));
  EXPECT_TRUE(CanWriteFolder(out_.string()));
  EXPECT_EQ(ReadBytes((out_ / "Tav_Oskin.Tav").string()), Bytes("keep"));
  EXPECT_FALSE(CanWriteFolder((out_ / "missing").string()));
}

}  // namespace
}  // namespace pff::test
