// pff add and pff list on real archives.

#include <gtest/gtest.h>

#include <filesystem>

#include "pff_process.h"

namespace pff::test {
namespace {

using AddAndList = CliTest;

const std::string kTsvHeader = "archive\tindex\tdead\toffset\tsize\ttime\tname";
// 2001-09-09 01:46:40 on the clock, counted from 1969-12-31 19:00:00.
const std::string kTime = "1000018000";

TEST_F(AddAndList, AddedFilesAreListedInDirectoryOrderAcrossArchives) {
  ASSERT_EQ(Pff({"new", "--df3", "new.pff"}).status, 0);
  ASSERT_EQ(Pff({"new", "--df1", "old.pff"}).status, 0);
  MakeFile("A.TXT", "hello");
  MakeFile("bee.dat", "0123456789");
  ASSERT_EQ(Pff({"add", "new.pff", "A.TXT"}).status, 0);
  EXPECT_EQ(ReadBytes(Path("new.pff")).size(), 157u);  // 62 + 5 + 36 + 8 + 46
  ASSERT_EQ(Pff({"add", "new.pff", "bee.dat"}).status, 0);
  ASSERT_EQ(Pff({"add", "old.pff", Path("bee.dat"), "A.TXT"}).status, 0);

  PffRun list = Pff({"list", "--tsv", "new.pff", "old.pff", "new.pff"});
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_EQ(Lines(list.out), (std::vector<std::string>{
                                 kTsvHeader,
                                 "new.pff\t1\t0\t62\t5\t" + kTime + "\tA.TXT",
                                 "new.pff\t2\t0\t67\t10\t" + kTime + "\tbee.dat",
                                 "old.pff\t1\t0\t20\t10\t" + kTime + "\tbee.dat",
                                 "old.pff\t2\t0\t30\t5\t" + kTime + "\tA.TXT",
                             }));

  PffRun table = Pff({"list", "old.pff"});
  EXPECT_EQ(Lines(table.out), (std::vector<std::string>{
                                  "Name       Size  Type       Modified            From",
                                  " bee.dat   0 KB   DAT File   09/09/01 01:46:40   old.pff",
                                  " A.TXT     0 KB   TXT File   09/09/01 01:46:40   old.pff",
                              }));
  PffRun bad = Pff({"list", "--time-style", "bad", "old.pff"});
  EXPECT_NE(bad.out.find(" 09/09/01 01:46:40 AM "), std::string::npos) << bad.out;

  PffRun missing = Pff({"list", "--tsv", "old.pff", "missing.pff"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(Lines(missing.out).size(), 3u);
}

TEST_F(AddAndList, AFolderIsRefusedWhileTheOtherFilesAreAdded) {
  ASSERT_EQ(Pff({"new", "--df3", "a.pff"}).status, 0);
  std::filesystem::create_directory(Path("folder.d"));
  MakeFile("A.TXT", "hello");
  MakeFile("B.TXT", "world");
  PffRun run = Pff({"add", "a.pff", "A.TXT", "folder.d", "nowhere.txt", "B.TXT"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Unable to Add folder.d, Please Select Only Files!"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("pff: Error in GetFileHeader: "), std::string::npos) << run.err;
  PffRun list = Pff({"list", "--tsv", "a.pff"});
  ASSERT_EQ(Lines(list.out).size(), 3u);
  EXPECT_EQ(Lines(list.out)[2], "a.pff\t2\t0\t67\t5\t" + kTime + "\tB.TXT");
}

TEST_F(AddAndList, ASameNamedEntryIsReplacedOnlyWithOverwrite) {
  ASSERT_EQ(Pff({"new", "--df3", "a.pff"}).status, 0);
  MakeFile("NOTE.TXT", "old");
  MakeFile("other.bin", "xyz");
  MakeFile("third.bin", "3rd");
  ASSERT_EQ(Pff({"add", "a.pff", "NOTE.TXT", "other.bin"}).status, 0);
  std::filesystem::create_directory(Path("v2"));
  MakeFile("v2/note.txt", "new!");
  auto before = ReadBytes(Path("a.pff"));

  PffRun refused = Pff({"add", "a.pff", "v2/note.txt"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("v2/note.txt"), std::string::npos) << refused.err;
  EXPECT_EQ(ReadBytes(Path("a.pff")), before);
  EXPECT_EQ(Pff({"add", "a.pff", "v2/note.txt", "third.bin"}).status, 1);

  ASSERT_EQ(Pff({"add", "--overwrite", "a.pff", "v2/note.txt"}).status, 0);
  PffRun list = Pff({"list", "--tsv", "--all", "a.pff"});
  EXPECT_EQ(Lines(list.out), (std::vector<std::string>{
                                 kTsvHeader,
                                 "a.pff\t1\t1\t62\t3\t" + kTime + "\t<DEAD SPACE>",
                                 "a.pff\t2\t0\t65\t3\t" + kTime + "\tother.bin",
                                 "a.pff\t3\t0\t68\t3\t" + kTime + "\tthird.bin",
                                 "a.pff\t4\t0\t71\t4\t" + kTime + "\tnote.txt",
                             }));
  EXPECT_EQ(Lines(Pff({"list", "--tsv", "a.pff"}).out).size(), 4u);  // dead space left out
}

TEST_F(AddAndList, NoReuseAppendsInsteadOfFillingDeadSpace) {
  MakeFile("A.BIN", std::string(100, 'a'));
  MakeFile("B.BIN", std::string(100, 'b'));
  MakeFile("C.BIN", std::string(100, 'c'));
  for (const char* archive : {"reuse.pff", "append.pff"}) {
    ASSERT_EQ(Pff({"new", "--df3", archive}).status, 0);
    ASSERT_EQ(Pff({"add", archive, "A.BIN", "B.BIN"}).status, 0);
    ASSERT_EQ(Pff({"delete", archive, "A.BIN"}).status, 0);
  }
  ASSERT_EQ(Pff({"add", "reuse.pff", "C.BIN"}).status, 0);
  ASSERT_EQ(Pff({"add", "--no-reuse", "append.pff", "C.BIN"}).status, 0);

  EXPECT_EQ(Lines(Pff({"list", "--tsv", "--all", "reuse.pff"}).out),
            (std::vector<std::string>{
                kTsvHeader,
                "reuse.pff\t1\t0\t62\t100\t" + kTime + "\tC.BIN",
                "reuse.pff\t2\t0\t162\t100\t" + kTime + "\tB.BIN",
            }));
  EXPECT_EQ(Lines(Pff({"list", "--tsv", "--all", "append.pff"}).out),
            (std::vector<std::string>{
                kTsvHeader,
                "append.pff\t1\t1\t62\t100\t" + kTime + "\t<DEAD SPACE>",
                "append.pff\t2\t0\t162\t100\t" + kTime + "\tB.BIN",
                "append.pff\t3\t0\t262\t100\t" + kTime + "\tC.BIN",
            }));
  EXPECT_NE(Pff({"info", "reuse.pff"}).out.find("dir_offset: 262\n"), std::string::npos);
  EXPECT_NE(Pff({"info", "append.pff"}).out.find("dir_offset: 362\n"), std::string::npos);
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

  struct Case {
    std::vector<std::string> filters;
    std::string names;  // listed entries, in order
  };
  const std::vector<Case> cases = {
      {{}, "title.pcx intro.pcx README OLD.TXT"},
      {{"--all"}, "title.pcx intro.pcx README <DEAD SPACE> OLD.TXT"},
      {{"--type", "pcx"}, "title.pcx intro.pcx"},
      {{"--type", "readme", "--type", "PCX"}, "title.pcx intro.pcx README"},
      {{"--exclude-type", "PCX"}, "README OLD.TXT"},
      {{"--exclude-type", "pcx", "--exclude-type", "README", "--exclude-type", "txt"}, ""},
      {{"--name", "T"}, "title.pcx intro.pcx OLD.TXT"},
      {{"--name", "dead", "--all"}, "<DEAD SPACE>"},
      {{"--min-size", "200"}, "intro.pcx README"},
      {{"--max-size", "200"}, "title.pcx intro.pcx OLD.TXT"},
      {{"--min-size", "201", "--max-size", "299"}, ""},
      {{"--from", "2020-01-02"}, "intro.pcx README"},
      {{"--to", "2020-01-02"}, "title.pcx OLD.TXT"},
      {{"--to", "2020-01-03"}, "title.pcx intro.pcx README OLD.TXT"},
      {{"--from", "2020-01-03", "--all"}, "README <DEAD SPACE>"},
      {{"--type", "PCX", "--min-size", "150"}, "intro.pcx"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"list", "--tsv"};
    args.insert(args.end(), c.filters.begin(), c.filters.end());
    args.push_back("a.pff");
    SCOPED_TRACE(c.names);
    PffRun run = Pff(args);
    ASSERT_EQ(run.status, 0) << run.err;
    std::string names;
    auto lines = Lines(run.out);
    for (size_t i = 1; i < lines.size(); ++i) {
      names += (names.empty() ? "" : " ") + lines[i].substr(lines[i].rfind('\t') + 1);
    }
    EXPECT_EQ(names, c.names);
  }
}

}  // namespace
}  // namespace pff::test
