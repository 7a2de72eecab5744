#include "editing/add_file.h"

#include <gtest/gtest.h>

#include <ctime>
#include <deque>
#include <filesystem>
#include <limits>

#include "editing_fixture.h"
#include "support/recording_port.h"

namespace pff::test {
namespace {

constexpr int32_t kSampleTime = 1000000000;  // 2001-09-08 20:46:40 on the wall clock

std::string Stamped(const TempDir& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string path = WriteSource(dir, name, bytes);
  SetLocalMTime(path, 2001, 9, 8, 20, 46, 40);
  return path;
}

EngineOptions Options(bool reuse, bool overwrite = false) {
  EngineOptions options;
  options.ReUseDeadSpaces = reuse;
  options.AlwaysOverwrite = overwrite;
  return options;
}

class AddFileTest : public ::testing::Test {
 protected:
  ScopedTimeZone zone_{"UTC"};
  TempDir dir_;
  RecordingPort port_;
};

TEST_F(AddFileTest, WorkedExampleOfTheNewerFlavourByteForByte) {
  ArchiveTable table;
  const std::string path = dir_.File("new.pff");
  ASSERT_TRUE(CreateArchive(table, path, Flavour::New, port_));
  const std::string source = Stamped(dir_, "A.TXT", Bytes("hello"));

  EXPECT_EQ(AddFile(source, table.Archive(1), EngineOptions{}, port_), AddResult::Added);

  std::vector<uint8_t> expected;
  PutInt32(expected, 20);
  PutText(expected, "PFF3");
  PutInt32(expected, 1);
  PutInt32(expected, 36);
  PutInt32(expected, 67);
  PutText(expected, "Created With Tav Oskin's Vellumcraft v0.7");  // at 20, untouched
  expected.push_back(0);                                           // at 61, untouched
  PutText(expected, "hello");                                      // at 62
  PutInt32(expected, 0);                                           // record at 67
  PutInt32(expected, 62);
  PutInt32(expected, 5);
  PutInt32(expected, kSampleTime);
  PutText(expected, std::string("A.TXT") + std::string(11, '\0'));
  expected.insert(expected.end(), 4, 0);
  expected.insert(expected.end(), 8, 0);                                // at 103
  PutText(expected, "KING, Modified By Tav Oskin's Vellumcraft v0.7");  // at 111
  ASSERT_EQ(expected.size(), 157u);
  EXPECT_EQ(ReadBytes(path), expected);
  EXPECT_TRUE(port_.errors.empty());
}

TEST_F(AddFileTest, BothFlavoursReadBackAsWritten) {
  for (Flavour flavour : {Flavour::Old, Flavour::New}) {
    SCOPED_TRACE(flavour == Flavour::Old ? "older flavour" : "newer flavour");
    ArchiveTable table;
    const std::string path = dir_.File(flavour == Flavour::Old ? "old.pff" : "new.pff");
    ASSERT_TRUE(CreateArchive(table, path, flavour, port_));
    PffArchive& archive = table.Archive(1);
    EXPECT_EQ(AddFile(Stamped(dir_, "one.bin", Pattern(300, 1)), archive, Options(true), port_),
              AddResult::Added);
    EXPECT_EQ(AddFile(Stamped(dir_, "empty.dat", {}), archive, Options(true), port_), AddResult::Added);
    EXPECT_EQ(AddFile(Stamped(dir_, "two.txt", Bytes("second file")), archive, Options(true), port_),
              AddResult::Added);
    // The first file lands where the empty directory stood.
    EXPECT_EQ(archive.Entry(1).DataOffset, flavour == Flavour::Old ? 20 : 62);
    EXPECT_EQ(archive.Header.EntryCount, 3);
    EXPECT_EQ(Describe(Reopen(path)), Describe(archive));
    const std::vector<uint8_t> bytes = ReadBytes(path);
    EXPECT_EQ(Slice(bytes, static_cast<size_t>(archive.Entry(3).DataOffset), 11), Bytes("second file"));
  }
  EXPECT_TRUE(port_.errors.empty());
}

TEST_F(AddFileTest, SameSizeReplacementIsWrittenInPlace) {
  const std::string path = dir_.File("a.pff");
  PffArchive archive = WriteArchive(path, 36, {{"A.TXT", Pattern(10, 1)}, {"B.TXT", Pattern(10, 50)}});
  const PffHeader header = archive.Header;
  const std::string source = Stamped(dir_, "a.txt", Pattern(10, 200));

  EXPECT_EQ(AddFile(source, archive, Options(true, true), port_), AddResult::Added);

  EXPECT_EQ(archive.Header.EntryCount, header.EntryCount);
  EXPECT_EQ(archive.Header.DirOffset, header.DirOffset);
  const PffEntry& entry = archive.Entry(1);
  EXPECT_EQ(entry.DeadFlag, 0);
  EXPECT_EQ(entry.DataOffset, 20);
  EXPECT_EQ(entry.DataSize, 10);
  EXPECT_EQ(entry.FileTime, kSampleTime);
  EXPECT_EQ(NameBytes(entry.Name), NameBytes(MakeEntryName("a.txt")));  // the disk file's case
  EXPECT_EQ(Slice(ReadBytes(path), 20, 10), Pattern(10, 200));
  EXPECT_EQ(Describe(Reopen(path)), Describe(archive));
}

TEST_F(AddFileTest, FirstLargeEnoughDeadSlotGivesUpItsTail) {
  const std::string path = dir_.File("a.pff");
  PffArchive archive = WriteArchive(path, 32,
                                    {{"<DEAD SPACE>", Pattern(50, 0), 1},
                                     {"<DEAD SPACE>", Pattern(300, 0), 1},
                                     {"<DEAD SPACE>", Pattern(100, 0), 1},
                                     {"LIVE.TXT", Pattern(7, 9)}});
  const PffEntry slot = archive.Entry(2);
  const int32_t dirOffset = archive.Header.DirOffset;

  EXPECT_EQ(AddFile(Stamped(dir_, "new.bin", Pattern(100, 77)), archive, Options(true), port_),
            AddResult::Added);

  EXPECT_EQ(archive.Header.EntryCount, 5);
  EXPECT_EQ(archive.Header.DirOffset, dirOffset);
  EXPECT_EQ(archive.Entry(2).DeadFlag, 1);
  EXPECT_EQ(archive.Entry(2).DataOffset, slot.DataOffset);
  EXPECT_EQ(archive.Entry(2).DataSize, 200);
  EXPECT_EQ(archive.Entry(3).DataSize, 100);  // the exact fit later on is not preferred
  const PffEntry& added = archive.Entry(5);
  EXPECT_EQ(added.DataOffset, slot.DataOffset + 200);
  EXPECT_EQ(added.DataSize, 100);
  const std::vector<uint8_t> bytes = ReadBytes(path);
  EXPECT_EQ(Slice(bytes, static_cast<size_t>(added.DataOffset), 100), Pattern(100, 77));
  EXPECT_EQ(Slice(bytes, static_cast<size_t>(slot.DataOffset), 200), Slice(Pattern(300, 0), 0, 200));
  EXPECT_EQ(Describe(Reopen(path)), Describe(archive));
}

TEST_F(AddFileTest, WithoutReuseTheDataTakesThePlaceOfTheDirectory) {
  const std::string path = dir_.File("a.pff");
  PffArchive archive =
      WriteArchive(path, 32, {{"<DEAD SPACE>", Pattern(300, 0), 1}, {"LIVE.TXT", Pattern(7, 9)}});
  const int32_t dirOffset = archive.Header.DirOffset;

  EXPECT_EQ(AddFile(Stamped(dir_, "new.bin", Pattern(100, 77)), archive, Options(false), port_),
            AddResult::Added);

  EXPECT_EQ(archive.Header.EntryCount, 3);
  EXPECT_EQ(archive.Header.DirOffset, dirOffset + 100);
  EXPECT_EQ(archive.Entry(1).DataSize, 300);
  EXPECT_EQ(archive.Entry(3).DataOffset, dirOffset);
  EXPECT_EQ(Slice(ReadBytes(path), static_cast<size_t>(dirOffset), 100), Pattern(100, 77));
  EXPECT_EQ(Describe(Reopen(path)), Describe(archive));
}

TEST_F(AddFileTest, EmptyFilesWriteNoDataWhereverTheyGo) {
  struct Case {
    const char* label;
    bool reuse;
    std::vector<FixtureEntry> entries;
    int expectedIndex;  // entry that describes the new file
    int expectedCount;  // EntryCount afterwards
    int deadSizeAfter;  // size of entry 1 afterwards
  };
  const std::vector<Case> cases = {
      {"no reuse: at the directory, which stays", false, {{"<DEAD SPACE>", Pattern(50, 0), 1}}, 2, 2, 50},
      {"reuse: the first dead slot of any size",
       true,
       {{"<DEAD SPACE>", Pattern(50, 0), 1}, {"<DEAD SPACE>", {}, 1}},
       3,
       3,
       50},
      {"reuse: an empty dead slot is an exact fit", true, {{"<DEAD SPACE>", {}, 1}}, 1, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string path = dir_.File("empty.pff");
    PffArchive archive = WriteArchive(path, 36, c.entries);
    const PffArchive before = archive;
    const std::vector<uint8_t> bytesBefore = ReadBytes(path);

    EXPECT_EQ(AddFile(Stamped(dir_, "zero.txt", {}), archive, Options(c.reuse), port_), AddResult::Added);

    EXPECT_EQ(archive.Header.EntryCount, c.expectedCount);
    EXPECT_EQ(archive.Header.DirOffset, before.Header.DirOffset);
    EXPECT_EQ(archive.Entry(1).DataSize, c.deadSizeAfter);
    const PffEntry& added = archive.Entry(c.expectedIndex);
    EXPECT_EQ(added.DeadFlag, 0);
    EXPECT_EQ(added.DataSize, 0);
    if (!c.reuse) {
      EXPECT_EQ(added.DataOffset, before.Header.DirOffset);
    }
    // Only header and directory changed: every data byte is as it was.
    EXPECT_EQ(Slice(ReadBytes(path), 20, static_cast<size_t>(before.Header.DirOffset) - 20),
              Slice(bytesBefore, 20, static_cast<size_t>(before.Header.DirOffset) - 20));
    EXPECT_EQ(Describe(Reopen(path)), Describe(archive));
  }
  EXPECT_TRUE(port_.errors.empty());
}

TEST_F(AddFileTest, ReplacingAsksUnlessAlwaysOverwrite) {
  const std::string question =
      "Are you sure you want to replace: README.TXT, Size: 1 KB, Modified On: 09/08/01 08:46:40 PM\r\n"
      "With This One: readme.txt, Size: 3 KB, Modified On: 09/09/01 01:46:40 AM";
  struct Case {
    const char* label;
    bool overwrite;
    std::deque<bool> answers;
    AddResult result;
    size_t questions;
  };
  const std::vector<Case> cases = {
      {"No keeps everything", false, {false}, AddResult::Declined, 1},
      {"Yes replaces", false, {true}, AddResult::Added, 1},
      {"AlwaysOverwrite replaces without asking", true, {}, AddResult::Added, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    RecordingPort port;
    port.answers = c.answers;
    const std::string path = dir_.File("r.pff");
    PffArchive archive = WriteArchive(path, 36, {{"README.TXT", Pattern(512, 3), 0, kSampleTime}});
    const PffArchive before = archive;
    const std::vector<uint8_t> bytesBefore = ReadBytes(path);
    const std::string source = WriteSource(dir_, "readme.txt", Pattern(3000, 5));
    SetLocalMTime(source, 2001, 9, 9, 1, 46, 40);
    EngineOptions options = Options(false, c.overwrite);
    options.TimeDate = "Bad";

    const AddResult result = AddFile(source, archive, options, port);

    ASSERT_EQ(port.questions.size(), c.questions);
    if (c.questions == 1) {
      EXPECT_EQ(port.questions[0].first, "Warning!");
      EXPECT_EQ(port.questions[0].second, question);
    }
    EXPECT_EQ(result, c.result);
    if (c.result == AddResult::Declined) {
      EXPECT_EQ(Describe(archive), Describe(before));
      EXPECT_EQ(ReadBytes(path), bytesBefore);
      continue;
    }
    ASSERT_EQ(archive.Header.EntryCount, 2);
    const PffEntry& old = archive.Entry(1);
    EXPECT_EQ(old.DeadFlag, 1);
    EXPECT_EQ(NameBytes(old.Name), NameBytes(DeadSpaceName()));
    EXPECT_EQ(old.DataOffset, before.Entry(1).DataOffset);
    EXPECT_EQ(old.DataSize, 512);
    EXPECT_EQ(old.FileTime, kSampleTime);
    EXPECT_EQ(NameBytes(archive.Entry(2).Name), NameBytes(MakeEntryName("readme.txt")));
    EXPECT_EQ(Describe(Reopen(path)), Describe(archive));
    EXPECT_TRUE(port.errors.empty());
  }
}

TEST_F(AddFileTest, LongFileNamesKeepTheirFirstSixteenCharacters) {
  const std::string source = Stamped(dir_, "ABCDEFGHIJKLMNOPQRST", Bytes("x"));
  {
    PffArchive archive = WriteArchive(dir_.File("fresh.pff"), 36, {});
    EXPECT_EQ(AddFile(source, archive, Options(true), port_), AddResult::Added);
    EXPECT_EQ(NameBytes(archive.Entry(1).Name), "ABCDEFGHIJKLMNOP");
  }
  {
    // The cut name meets an existing one: that is a replacement.
    PffArchive archive = WriteArchive(dir_.File("used.pff"), 36, {{"abcdefghijklmnop", Bytes("old")}});
    port_.answers = {false};
    EXPECT_EQ(AddFile(source, archive, Options(true), port_), AddResult::Declined);
    EXPECT_EQ(port_.questions.size(), 1u);
  }
}

TEST_F(AddFileTest, NameSearchCoversAllSixteenBytesAndDeadEntries) {
  // "A.TXT" differs from "A.TXTX" only past the fifth byte; a dead entry named like the file still matches.
  PffArchive archive = WriteArchive(
      dir_.File("n.pff"), 32, {{"A.TXTX", Bytes("1")}, {"a.txt", Bytes("2"), 1}, {"A.TXT", Bytes("3")}});
  port_.answers = {false};
  EXPECT_EQ(AddFile(Stamped(dir_, "A.TXT", Bytes("new")), archive, Options(true), port_),
            AddResult::Declined);
  ASSERT_EQ(port_.questions.size(), 1u);
  EXPECT_NE(port_.questions[0].second.find("replace: a.txt,"), std::string::npos)
      << port_.questions[0].second;
}

TEST_F(AddFileTest, FileTimeIsTheLocalWallClockInAnyZone) {
  struct Zone {
    const char* name;
    int hourAtUnixEpoch;  // proves the zone is in force, not silently UTC
  };
  for (const Zone& zone : {Zone{"UTC", 0}, Zone{"Asia/Tokyo", 9}, Zone{"America/New_York", 19}}) {
    SCOPED_TRACE(zone.name);
    ScopedTimeZone scoped(zone.name);
    const std::time_t epoch = 0;
    std::tm local{};
    ASSERT_NE(localtime_r(&epoch, &local), nullptr);
    ASSERT_EQ(local.tm_hour, zone.hourAtUnixEpoch);
    const std::string source = Stamped(dir_, "t.txt", Bytes("t"));
    const std::optional<PffEntry> entry = GetFileHeader(source, port_);
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->FileTime, kSampleTime);
  }
  EXPECT_TRUE(port_.errors.empty());
}

TEST_F(AddFileTest, FileTimesAtTheEdgesOfTheStoredRange) {
  // File systems clamp times to the 32-bit Unix range, so each edge is set in
  // a zone where the wall-clock reading still lies inside it.
  struct Case {
    const char* zone;
    int year, month, day, hour, minute, second;
    std::optional<int32_t> expected;
  };
  const std::vector<Case> cases = {
      {"UTC", 2038, 1, 18, 22, 14, 7, std::numeric_limits<int32_t>::max()},
      {"UTC", 2038, 1, 18, 22, 14, 8, std::nullopt},
      {"Etc/GMT+12", 1901, 12, 13, 15, 45, 52, std::numeric_limits<int32_t>::min()},
      {"Etc/GMT+12", 1901, 12, 13, 15, 45, 51, std::nullopt},
      {"UTC", 1970, 1, 1, 0, 0, 0, 18000},
  };
  const std::string source = WriteSource(dir_, "edge.txt", Bytes("e"));
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.zone) + " " + std::to_string(c.year) + " :" + std::to_string(c.second));
    ScopedTimeZone zone(c.zone);
    RecordingPort port;
    SetLocalMTime(source, c.year, c.month, c.day, c.hour, c.minute, c.second);
    const std::optional<PffEntry> entry = GetFileHeader(source, port);
    if (c.expected) {
      ASSERT_TRUE(entry.has_value());
      EXPECT_EQ(entry->FileTime, *c.expected);
      EXPECT_TRUE(port.errors.empty());
    } else {
      EXPECT_FALSE(entry.has_value());
      EXPECT_EQ(port.ErrorRoutines(), std::vector<std::string>{"GetFileHeader"});
    }
  }
}

TEST_F(AddFileTest, GetFileHeaderBuildsALiveEntryWithALatin1Name) {
  const std::string source = Stamped(dir_, "\xC3\xA9t\xC3\xA9.txt", Pattern(1234, 0));  // "été.txt"
  const std::optional<PffEntry> entry = GetFileHeader(source, port_);
  ASSERT_TRUE(entry.has_value());
  EXPECT_EQ(entry->DeadFlag, 0);
  EXPECT_EQ(entry->DataOffset, 0);
  EXPECT_EQ(entry->DataSize, 1234);
  EXPECT_EQ(NameBytes(entry->Name), NameBytes(MakeEntryName("\xE9t\xE9.txt")));
}

TEST_F(AddFileTest, GetFileHeaderRefusesWhatCannotBeAnEntry) {
  const std::string tooLarge = dir_.File("huge.bin");
  WriteBytes(tooLarge, {});
  std::filesystem::resize_file(tooLarge, uint64_t{1} << 31);  // sparse: no disk space used
  const std::string largest = dir_.File("largest.bin");
  WriteBytes(largest, {});
  std::filesystem::resize_file(largest, (uint64_t{1} << 31) - 1);
  std::filesystem::create_directory(dir_.File("folder.d"));

  for (const std::string& path : {dir_.File("missing.txt"), dir_.File("folder.d"), tooLarge}) {
    SCOPED_TRACE(path);
    RecordingPort port;
    EXPECT_FALSE(GetFileHeader(path, port).has_value());
    ASSERT_EQ(port.ErrorRoutines(), std::vector<std::string>{"GetFileHeader"});
    EXPECT_FALSE(port.errors[0].description.empty());
  }
  const std::optional<PffEntry> entry = GetFileHeader(largest, port_);
  ASSERT_TRUE(entry.has_value());
  EXPECT_EQ(entry->DataSize, std::numeric_limits<int32_t>::max());
}

}  // namespace
}  // namespace pff::test
