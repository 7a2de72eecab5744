// pff add and pff list on real archives.

#include <gtest/gtest.h>

#include <filesystem>

#include "pff_process.h"

namespace pff::test {
namespace {

using AddAndList = CliTest;
using Strings = std::vector<std::string>;

const std::string kTsvHeader = "archive\tindex\tdead\toffset\tsize\ttime\tname";
// 2001-09-09 01:46:40 on the clock, counted from 1969-12-31 19:00:00.
const std::string kTime = "\t1000018000\t";

TEST_F(AddAndList, AddedFilesAreListedInDirectoryOrderAcrossArchives) {
  ASSERT_EQ(Pff({"new", "--df3", "new.pff"}).status, 0);
  ASSERT_EQ(Pff({"new", "--df1", "old.pff"}).status, 0);
  MakeFile("A.TXT", "hello");
  MakeFile("bee.dat", "0123456789");
  ASSERT_EQ(Pff({"add", "new.pff", "A.TXT", "bee.dat"}).status, 0);
  ASSERT_EQ(Pff({"add", "old.pff", Path("bee.dat"), "A.TXT"}).status, 0);

  PffRun list = Pff({"list", "--tsv", "new.pff", "old.pff", "new.pff"});
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_EQ(Lines(list.out),
            (Strings{kTsvHeader, "new.pff\t1\t0\t62\t5" + kTime + "A.TXT",
                     "new.pff\t2\t0\t67\t10" + kTime + "bee.dat", "old.pff\t1\t0\t20\t10" + kTime + "bee.dat",
                     "old.pff\t2\t0\t30\t5" + kTime + "A.TXT"}));
  EXPECT_EQ(Lines(Pff({"list", "old.pff"}).out),
            (Strings{
                "Name       Size  Type       Modified            From",
                " bee.dat   0 KB   DAT File   09/09/01 01:46:40   old.pff",
                " A.TXT     0 KB   TXT File   09/09/01 01:46:40   old.pff",
            }));
}

TEST_F(AddAndList, AFolderIsRefusedWhileTheOtherFilesAreAdded) {
  ASSERT_EQ(Pff({"new", "--df3", "a.pff"}).status, 0);
  std::filesystem::create_directory(Path("folder.d"));
  MakeFile("A.TXT", "hello");
  MakeFile("B.TXT", "world");
  PffRun run = Pff({"add", "a.pff", "A.TXT", "folder.d", "B.TXT"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Unable to Add folder.d, Please Select Only Files!"), std::string::npos) << run.err;
  EXPECT_EQ(ListedNames({"a.pff"}), "A.TXT B.TXT");
}

TEST_F(AddAndList, ASameNamedEntryIsReplacedOnlyWithOverwrite) {
  ASSERT_EQ(Pff({"new", "--df3", "a.pff"}).status, 0);
  MakeFile("NOTE.TXT", "old");
  MakeFile("other.bin", "xyz");
  ASSERT_EQ(Pff({"add", "a.pff", "NOTE.TXT", "other.bin"}).status, 0);
  std::filesystem::create_directory(Path("v2"));
  MakeFile("v2/note.txt", "new!");
  const std::vector<uint8_t> before = ReadBytes(Path("a.pff"));

  PffRun refused = Pff({"add", "a.pff", "v2/note.txt"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("v2/note.txt"), std::string::npos) << refused.err;
  EXPECT_EQ(ReadBytes(Path("a.pff")), before);

  ASSERT_EQ(Pff({"add", "--overwrite", "a.pff", "v2/note.txt"}).status, 0);
  EXPECT_EQ(Lines(Pff({"list", "--tsv", "--all", "a.pff"}).out),
            (Strings{kTsvHeader, "a.pff\t1\t1\t62\t3" + kTime + "<DEAD SPACE>",
                     "a.pff\t2\t0\t65\t3" + kTime + "other.bin", "a.pff\t3\t0\t68\t4" + kTime + "note.txt"}));
}

TEST_F(AddAndList, NoReuseAppendsInsteadOfFillingDeadSpace) {
  for (const char* name : {"A.BIN", "B.BIN", "C.BIN", "D.BIN"}) MakeFile(name, std::string(100, name[0]));
  ASSERT_EQ(Pff({"new", "--df3", "a.pff"}).status, 0);
  ASSERT_EQ(Pff({"add", "a.pff", "A.BIN", "B.BIN"}).status, 0);
  ASSERT_EQ(Pff({"delete", "a.pff", "A.BIN"}).status, 0);
  ASSERT_EQ(Pff({"add", "--no-reuse", "a.pff", "C.BIN"}).status, 0);
  EXPECT_NE(Pff({"info", "a.pff"}).out.find("dir_offset: 362\n"), std::string::npos);
  ASSERT_EQ(Pff({"add", "a.pff", "D.BIN"}).status, 0);  // now into the dead space

  EXPECT_EQ(Lines(Pff({"list", "--tsv", "--all", "a.pff"}).out),
            (Strings{kTsvHeader, "a.pff\t1\t0\t62\t100" + kTime + "D.BIN",
                     "a.pff\t2\t0\t162\t100" + kTime + "B.BIN", "a.pff\t3\t0\t262\t100" + kTime + "C.BIN"}));
}

TEST_F(AddAndList, FiltersNarrowTheList) {
  ASSERT_EQ(Pff({"new", "--df1", "a.pff"}).status, 0);
  MakeFile("title.pcx", std::string(100, 'p'), 2020, 1, 1, 0, 0, 0);
  MakeFile("intro.pcx", std::string(200, 'p'), 2020, 1, 2, 12, 0, 0);
  MakeFile("README", std::string(300, 'r'), 2020, 1, 3, 0, 0, 0);
  MakeFile("music.wav", std::string(400, 'w'), 2020, 1, 4, 0, 0, 0);
  MakeFile("OLD.TXT", std::string(50, 'o'), 1960, 1, 1, 0, 0, 0);  // stored time below 0
  ASSERT_EQ(Pff({"add", "a.pff", "title.pcx", "intro.pcx", "README", "music.wav", "OLD.TXT"}).status, 0);
  ASSERT_EQ(Pff({"delete", "a.pff", "music.wav"}).status, 0);

  const std::pair<Strings, std::string> cases[] = {
      {{}, "title.pcx intro.pcx README OLD.TXT"},
      {{"--type", "readme", "--type", "PCX"}, "title.pcx intro.pcx README"},
      {{"--exclude-type", "PCX"}, "README OLD.TXT"},
      {{"--name", "T"}, "title.pcx intro.pcx OLD.TXT"},
      {{"--min-size", "200"}, "intro.pcx README"},
      {{"--max-size", "200"}, "title.pcx intro.pcx OLD.TXT"},
      {{"--min-size", "201", "--max-size", "299"}, ""},
      {{"--from", "2020-01-02"}, "intro.pcx README"},
      {{"--to", "2020-01-02"}, "title.pcx intro.pcx OLD.TXT"},  // the whole day, not the next midnight
      {{"--to", "2020-01-03"}, "title.pcx intro.pcx README OLD.TXT"},
      {{"--from", "1800-01-01", "--to", "2100-01-01"}, "title.pcx intro.pcx README OLD.TXT"},
      {{"--from", "2100-01-01"}, ""},
      {{"--to", "1800-01-01"}, ""},
      {{"--from", "2020-01-03", "--all"}, "README <DEAD SPACE>"},
      {{"--type", "PCX", "--min-size", "150"}, "intro.pcx"},
  };
  for (auto [filters, names] : cases) {
    filters.push_back("a.pff");
    EXPECT_EQ(ListedNames(filters), names) << filters[0];
  }
}

}  // namespace
}  // namespace pff::test
