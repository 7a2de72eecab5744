#include "editing/add_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <limits>

#include "editing_fixture.h"

namespace pff::test {
namespace {

constexpr int32_t kSampleTime = 1000000000;  // 2001-09-08 20:46:40 on the wall clock

std::string Side(const ReplaceSide& side) {
  return side.Name + " " + std::to_string(side.Size) + " " + std::to_string(side.FileTime);
}

class AddFileTest : public EditingTest {
 protected:
  std::string Stamped(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = WriteSource(dir_, name, bytes);
    SetLocalMTime(path, 2001, 9, 8, 20, 46, 40);
    return path;
  }
  ScopedTimeZone zone_{"UTC"};
};

TEST_F(AddFileTest, WorkedExampleOfTheNewerFlavourByteForByte) {
  ArchiveTable table;
  const std::string path = dir_.File("new.pff");
  ASSERT_EQ(CreateArchive(table, path, Flavour::New).Index, 1);

  EXPECT_EQ(AddFile(Stamped("A.TXT", Bytes("hello")), table.Archive(1), EngineOptions{}, port_),
            AddResult::Added);

  std::vector<uint8_t> expected;
  PutInt32(expected, 20);
  PutText(expected, "PFF3");
  for (int32_t field : {1, 36, 67}) PutInt32(expected, field);
  PutText(expected, "Created With Tav Oskin's Vellumcraft v0.7");           // at 20, untouched
  expected.push_back(0);                                                    // at 61, untouched
  PutText(expected, "hello");                                               // at 62
  for (int32_t field : {0, 62, 5, kSampleTime}) PutInt32(expected, field);  // record at 67
  PutText(expected, std::string("A.TXT") + std::string(11, '\0'));
  expected.insert(expected.end(), 4 + 8, 0);                            // record tail, then at 103
  PutText(expected, "KING, Modified By Tav Oskin's Vellumcraft v0.7");  // at 111
  ASSERT_EQ(expected.size(), 157u);
  EXPECT_EQ(ReadBytes(path), expected);
  EXPECT_TRUE(port_.errors.empty());
}

TEST_F(AddFileTest, PlacementInPlaceInADeadTailOrWhereTheDirectoryStood) {
  const FixtureEntry dead0{"<DEAD SPACE>", {}, 1}, dead50{"<DEAD SPACE>", Pattern(50, 0), 1},
      dead100{"<DEAD SPACE>", Pattern(100, 0), 1}, dead300{"<DEAD SPACE>", Pattern(300, 0), 1},
      live{"LIVE.TXT", Pattern(7, 9)};
  struct Case {
    const char* label;
    std::vector<FixtureEntry> entries;
    std::string name;
    size_t size;
    EngineOptions options;
    std::string layout;  // afterwards
  };
  // clang-format off
  const Case cases[] = {
      {"same size replaced in place, in the disk file's case",
       {{"A.TXT", Pattern(10, 1)}, {"B.TXT", Pattern(10, 50)}}, "a.txt", 10, Options(true, true),
       "0@20+10 0@30+10 dir 40"},
      {"the first large enough dead slot gives up its tail", {dead50, dead300, dead100, live}, "new.bin", 100,
       Options(true), "1@20+50 1@70+200 1@370+100 0@470+7 0@270+100 dir 477"},
      {"no reuse: at the old directory, which moves up", {dead300, live}, "new.bin", 100, Options(false),
       "1@20+300 0@320+7 0@327+100 dir 427"},
      {"empty, no reuse", {dead50}, "zero.txt", 0, Options(false), "1@20+50 0@70+0 dir 70"},
      {"empty, reuse: the first dead slot of any size", {dead50, dead0}, "zero.txt", 0, Options(true),
       "1@20+50 1@70+0 0@70+0 dir 70"},
      {"empty, reuse: an empty dead slot is an exact fit", {dead0}, "zero.txt", 0, Options(true), "0@20+0 dir 20"},
      {"a 20-character name keeps its first 16", {}, "ABCDEFGHIJKLMNOPQRST", 1, Options(true), "0@20+1 dir 21"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string path = dir_.File("a.pff");
    PffArchive archive = WriteArchive(path, 36, c.entries);
    const size_t dataEnd = size_t(archive.Header.DirOffset);
    const std::vector<uint8_t> before = ReadBytes(path), data = Pattern(c.size, 200);

    const bool replacing = c.options.AlwaysOverwrite;  // only the first case has a same-named entry
    ASSERT_EQ(AddFile(Stamped(c.name, data), archive, c.options, port_),
              replacing ? AddResult::Replaced : AddResult::Added);

    EXPECT_EQ(Layout(archive), c.layout);
    EXPECT_EQ(Describe(Reopen(path)), Describe(archive));
    ExpectZeroRecordTails(archive);
    const auto added = std::find_if(archive.Entries.begin(), archive.Entries.end(),
                                    [&](const PffEntry& e) { return e.Name == MakeEntryName(c.name); });
    ASSERT_NE(added, archive.Entries.end());
    EXPECT_EQ(added->FileTime, kSampleTime);
    // The new data is in its region and no other data byte changed.
    const std::vector<uint8_t> after = ReadBytes(path);
    const auto first = size_t(added->DataOffset);
    EXPECT_EQ(Slice(after, first, c.size), data);
    for (size_t i = 20; i < dataEnd; ++i) {
      if (i < first || i >= first + c.size) {
        EXPECT_EQ(after[i], before[i]) << "byte " << i;
      }
    }
  }
  EXPECT_TRUE(port_.errors.empty());
}

TEST_F(AddFileTest, ReplacingAsksUnlessAlwaysOverwrite) {
  for (const auto& [overwrite, answer] :
       {std::pair{false, false}, std::pair{false, true}, std::pair{true, false}}) {
    SCOPED_TRACE(overwrite ? "AlwaysOverwrite" : answer ? "Yes" : "No");
    RecordingPort port;
    port.answers = {answer};
    const std::string path = dir_.File("r.pff");
    PffArchive archive = WriteArchive(path, 36, {{"README.TXT", Pattern(512, 3), 0, kSampleTime}});
    const std::string before = Describe(archive);
    const std::vector<uint8_t> bytes = ReadBytes(path);
    const std::string source = WriteSource(dir_, "readme.txt", Pattern(3000, 5));
    SetLocalMTime(source, 2001, 9, 9, 1, 46, 40);
    const bool replaced = overwrite || answer;

    EXPECT_EQ(AddFile(source, archive, Options(false, overwrite), port),
              replaced ? AddResult::Replaced : AddResult::Declined);

    ASSERT_EQ(port.questions.size(), overwrite ? 0u : 1u);
    if (!overwrite) {
      const ReplaceRequest& asked = port.questions[0];
      EXPECT_EQ(Side(asked.Entry), "README.TXT 512 " + std::to_string(kSampleTime));
      EXPECT_EQ(Side(asked.File), "readme.txt 3000 " + std::to_string(kSampleTime + 5 * 3600));
      EXPECT_EQ(asked.FilePath, source);
    }
    if (!replaced) {
      EXPECT_EQ(Describe(archive), before);
      EXPECT_EQ(ReadBytes(path), bytes);
      continue;
    }
    // The old entry becomes dead space over its region; the new one goes where the directory stood.
    EXPECT_EQ(Layout(archive), "1@20+512 0@532+3000 dir 3532");
    EXPECT_EQ(NameBytes(archive.Entry(1).Name), NameBytes(DeadSpaceName()));
    EXPECT_EQ(NameBytes(archive.Entry(2).Name), NameBytes(MakeEntryName("readme.txt")));
    EXPECT_EQ(Describe(Reopen(path)), Describe(archive));
    EXPECT_TRUE(port.errors.empty());
  }
}

TEST_F(AddFileTest, NameMatchCoversAllSixteenBytesAndDeadEntries) {
  // "A.TXT" differs from "A.TXTX" only past the fifth byte; a dead entry named like the file still matches.
  PffArchive archive = WriteArchive(
      dir_.File("n.pff"), 32, {{"A.TXTX", Bytes("1")}, {"a.txt", Bytes("2"), 1}, {"A.TXT", Bytes("3")}});
  EXPECT_EQ(AddFile(Stamped("A.TXT", Bytes("new")), archive, Options(true), port_), AddResult::Declined);
  EXPECT_EQ(port_.questions.at(0).Entry.Name, "a.txt");
}

TEST_F(AddFileTest, GetFileHeaderTakesTheLocalWallClockAndUpTo2GiBMinus1WithALatin1Name) {
  SKIP_UNLESS_ZONES_CHANGE();
  for (const auto& [zone, hourAtUnixEpoch] : {std::pair{"UTC", 0}, std::pair{"Asia/Tokyo", 9}}) {
    SCOPED_TRACE(zone);
    ScopedTimeZone scoped(zone);
    const std::time_t epoch = 0;
    ASSERT_EQ(std::localtime(&epoch)->tm_hour, hourAtUnixEpoch) << "the zone is not in force";
    const std::string source = WriteSource(dir_, "\xC3\xA9t\xC3\xA9.txt", {});  // "été.txt"
    std::filesystem::resize_file(source, (uint64_t{1} << 31) - 1);              // sparse: no disk space used
    SetLocalMTime(source, 2001, 9, 8, 20, 46, 40);
    const std::optional<PffEntry> entry = GetFileHeader(source, port_);
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->FileTime, kSampleTime);
    EXPECT_EQ(entry->DataSize, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(NameBytes(entry->Name), NameBytes(MakeEntryName("\xE9t\xE9.txt")));
  }
  EXPECT_TRUE(port_.errors.empty());

  const std::string tooBig = Stamped("big.bin", {});
  std::filesystem::resize_file(tooBig, uint64_t{1} << 31);
  EXPECT_FALSE(GetFileHeader(tooBig, port_).has_value());
  EXPECT_EQ(port_.ErrorRoutines(), std::vector<Routine>{Routine::ReadFileHeader});
}

}  // namespace
}  // namespace pff::test
