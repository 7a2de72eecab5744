// pff add, list, extract, delete and rename on real archives.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <tuple>

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

TEST_F(AddAndList, FoldersAreRefusedAndSameNamedEntriesReplacedOnlyWithOverwrite) {
  NewArchive("a.pff", {{"NOTE.TXT", "old"}});
  std::filesystem::create_directory(Path("v2"));
  MakeFile("v2/note.txt", "new!");
  MakeFile("other.bin", "xyz");
  PffRun folder = Pff({"add", "a.pff", "v2", "other.bin"});
  EXPECT_EQ(folder.status, 1);
  EXPECT_NE(folder.err.find("Unable to Add v2, Please Select Only Files!"), std::string::npos) << folder.err;
  const std::vector<uint8_t> before = ReadBytes(Path("a.pff"));

  PffRun refused = Pff({"add", "a.pff", "v2/note.txt"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("v2/note.txt"), std::string::npos) << refused.err;
  EXPECT_EQ(ReadBytes(Path("a.pff")), before);

  ASSERT_EQ(Pff({"add", "--overwrite", "a.pff", "v2/note.txt"}).status, 0);
  EXPECT_EQ(ListedNames({"--all", "a.pff"}), "<DEAD SPACE> other.bin note.txt");
}

TEST_F(AddAndList, NoReuseAppendsInsteadOfFillingDeadSpace) {
  NewArchive("a.pff", {{"A.BIN", std::string(100, 'A')}, {"B.BIN", std::string(100, 'B')}});
  for (const char* name : {"C.BIN", "D.BIN"}) MakeFile(name, std::string(100, name[0]));
  ASSERT_EQ(Pff({"delete", "a.pff", "A.BIN"}).status, 0);
  ASSERT_EQ(Pff({"add", "--no-reuse", "a.pff", "C.BIN"}).status, 0);
  ASSERT_EQ(Pff({"add", "a.pff", "D.BIN"}).status, 0);  // now into the dead space

  EXPECT_EQ(Lines(Pff({"list", "--tsv", "--all", "a.pff"}).out),
            (Strings{kTsvHeader, "a.pff\t1\t0\t62\t100" + kTime + "D.BIN",
                     "a.pff\t2\t0\t162\t100" + kTime + "B.BIN", "a.pff\t3\t0\t262\t100" + kTime + "C.BIN"}));
}

TEST_F(AddAndList, AddWarnsOfChangedNamesAndRefusesASecondFileOfOneName) {
  NewArchive("a.pff", {{"one.txt", "first file"}, {"two.txt", "second"}}, "--df1");
  std::filesystem::create_directory(Path("v2"));
  MakeFile("a_rather_long_name.txt", "long");
  MakeFile("v2/ONE.TXT", "other one");
  MakeFile("\xE2\x82\xAC.txt", "euro");
  PffRun run = Pff(
      {"add", "--overwrite", "a.pff", "a_rather_long_name.txt", "v2/ONE.TXT", "one.txt", "\xE2\x82\xAC.txt"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(
      Lines(run.err),
      (Strings{"pff: warning: a_rather_long_name.txt is stored as \"a_rather_long_na\" (names keep 16 "
               "Latin-1 characters)",
               "pff: one.txt not added: it would be stored as \"one.txt\", the name already given to "
               "v2/ONE.TXT in this command",
               "pff: warning: \xE2\x82\xAC.txt is stored as \"_.txt\" (names keep 16 Latin-1 characters)"}));
  EXPECT_EQ(ListedNames({"a.pff"}), "two.txt a_rather_long_na ONE.TXT _.txt");
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
      {{"--type", "readme", "--type=PCX"}, "title.pcx intro.pcx README"},
      {{"--exclude-type", "PCX"}, "README OLD.TXT"},
      {{"--name", "T"}, "title.pcx intro.pcx OLD.TXT"},
      {{"--min-size", "200"}, "intro.pcx README"},
      {{"--max-size", "200"}, "title.pcx intro.pcx OLD.TXT"},
      {{"--from", "2020-01-02"}, "intro.pcx README"},
      {{"--to", "2020-01-02"}, "title.pcx intro.pcx OLD.TXT"},  // the whole day, not the next midnight
      {{"--from", "1800-01-01", "--to", "2100-01-01"}, "title.pcx intro.pcx README OLD.TXT"},
      {{"--from", "2100-01-01"}, ""},
      {{"--to", "1800-01-01"}, ""},
      {{"--from", "2020-01-03", "--all"}, "README <DEAD SPACE>"},
  };
  int round = 0;
  for (auto [filters, names] : cases) {
    filters.push_back("a.pff");
    EXPECT_EQ(ListedNames(filters), names) << filters[0];
    // Extraction takes exactly what the list shows.
    if (kOnWindows && names.find('<') != std::string::npos) continue;  // a name Windows cannot hold
    const std::string out = "out" + std::to_string(++round);
    std::filesystem::create_directory(Path(out));
    filters.insert(filters.begin(), {"extract", "-C", out});
    EXPECT_EQ(Pff(filters).status, 0) << filters[3];
    Strings wanted, written;
    std::string word;
    for (std::istringstream words(names); words >> word;) {
      if (word == "SPACE>") {
        wanted.back() += " " + word;  // "<DEAD SPACE>" is one name
      } else {
        wanted.push_back(word);
      }
    }
    for (const auto& file : std::filesystem::directory_iterator(Path(out)))
      written.push_back(file.path().filename().u8string());
    std::sort(wanted.begin(), wanted.end());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, wanted) << filters[3];
  }
  EXPECT_EQ(Pff({"extract", "--type", "PCX", "a.pff", "README"}).status, 2);  // names or filters
}

// An archive holding alpha.bin, Beta.TXT and gamma.dat, built by the tool itself.
class EditCommands : public CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    std::string binary;
    for (unsigned i = 0; i < 256; ++i) binary += static_cast<char>(i);
    NewArchive("a.pff", {{"alpha.bin", binary}, {"Beta.TXT", "beta text\r\n"}, {"gamma.dat", ""}});
    std::filesystem::create_directory(Path("out"));
  }
};

TEST_F(EditCommands, ExtractWritesIdenticalFiles) {
  ASSERT_EQ(Pff({"delete", "a.pff", "gamma.dat"}).status, 0);
  PffRun all = Pff({"extract", "-C", "out", "a.pff"});
  ASSERT_EQ(all.status, 0) << all.err;
  EXPECT_EQ(ReadBytes(Path("out/alpha.bin")), ReadBytes(Path("alpha.bin")));
  EXPECT_EQ(ReadBytes(Path("out/Beta.TXT")), ReadBytes(Path("Beta.TXT")));
  EXPECT_FALSE(std::filesystem::exists(Path("out/<DEAD SPACE>")));
  // Windows cannot hold "<" and ">": refused there, the others written again.
  ASSERT_EQ(Pff({"extract", "--all", "-C", "out", "a.pff"}).status, kOnWindows ? 1 : 0);
  EXPECT_EQ(std::filesystem::exists(Path("out/<DEAD SPACE>")), !kOnWindows);

  // By name, any letter case, into the current folder; a missing name fails but does not stop the others.
  std::filesystem::remove(Path("Beta.TXT"));
  PffRun named = Pff({"extract", "a.pff", "nothere", "BETA.txt"});
  EXPECT_EQ(named.status, 1);
  EXPECT_NE(named.err.find("nothere"), std::string::npos) << named.err;
  EXPECT_EQ(ReadBytes(Path("Beta.TXT")), ReadBytes(Path("out/Beta.TXT")));

  // Of two entries of one name the first is meant, also when several names are asked for at once.
  if (kOnWindows) return;  // the two are dead space, which Windows cannot hold under that name
  ASSERT_EQ(Pff({"delete", "a.pff", "Beta.TXT"}).status, 0);
  ASSERT_EQ(Pff({"extract", "a.pff", "<dead space>", "alpha.bin"}).status, 0);
  EXPECT_EQ(ReadBytes(Path("<DEAD SPACE>")), ReadBytes(Path("out/Beta.TXT")));
}

TEST_F(EditCommands, CatWritesOneEntryAsStoredAndAListFileNamesFilesToAdd) {
  PffRun cat = Pff({"cat", "a.pff", "ALPHA.BIN"});
  ASSERT_EQ(cat.status, 0) << cat.err;
  const std::vector<uint8_t> alpha = ReadBytes(Path("alpha.bin"));
  EXPECT_EQ(cat.out, std::string(alpha.begin(), alpha.end()));  // every byte value, NUL and CR LF included
  EXPECT_EQ(Pff({"cat", "a.pff", "gamma.dat"}).out, "");
  PffRun missing = Pff({"cat", "a.pff", "nothere"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_NE(missing.err.find("nothere"), std::string::npos) << missing.err;

  // Lines as a Windows editor writes them, an empty one and a name with a space.
  MakeFile("with space.txt", "s");
  MakeFile("last.bin", "L");
  MakeFile("files.lst", "with space.txt\r\n\r\nlast.bin");
  PffRun listed = Pff({"add", "--from-list", "files.lst", "a.pff"});
  ASSERT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(ListedNames({"a.pff"}), "alpha.bin Beta.TXT gamma.dat with space.txt last.bin");
  const std::vector<uint8_t> before = ReadBytes(Path("a.pff"));
  EXPECT_EQ(Pff({"add", "--from-list", "none.lst", "a.pff"}).status, 1);
  EXPECT_EQ(ReadBytes(Path("a.pff")), before);
}

TEST_F(EditCommands, ControlBytesOfNamesAreEscapedEverywhere) {
  ASSERT_EQ(Pff({"rename", "a.pff", "Beta.TXT", "tab\there\x1b[2J"}).status, 0);
  EXPECT_EQ(ListedNames({"a.pff"}), "alpha.bin tab\\there\\x1B[2J gamma.dat");
  const std::string table = Pff({"list", "a.pff"}).out;
  EXPECT_NE(table.find(" tab\\x09here\\x1B[2J "), std::string::npos) << table;
  // An engine error that embeds the name: a folder stands where the file would go
  // (on Windows, which cannot hold the name, the refusal of the name).
  if (!kOnWindows) std::filesystem::create_directory(Path("out/tab\there\x1b[2J"));
  const PffRun run = Pff({"extract", "-C", "out", "a.pff", "TAB\tHERE\x1B[2j"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Error in ExtractFile: "), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("tab\\x09here\\x1B[2J"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find('\x1b'), std::string::npos) << run.err;
}

TEST_F(EditCommands, DeleteByNameOrIndexLeavesDeadSpace) {
  PffRun byName = Pff({"delete", "a.pff", "BETA.TXT", "--", "--nothere"});  // a name, not an option
  EXPECT_EQ(byName.status, 1);
  EXPECT_NE(byName.err.find("--nothere"), std::string::npos) << byName.err;
  EXPECT_EQ(ListedNames({"a.pff"}), "alpha.bin gamma.dat");
  EXPECT_EQ(ListedNames({"--all", "a.pff"}), "alpha.bin <DEAD SPACE> gamma.dat");

  EXPECT_EQ(Pff({"delete", "--index", "3", "4", "0", "a.pff"}).status, 1);
  EXPECT_EQ(ListedNames({"--all", "a.pff"}), "alpha.bin <DEAD SPACE> <DEAD SPACE>");
  ASSERT_EQ(Pff({"delete", "--index", "1", "1", "a.pff"}).status, 0);
  EXPECT_EQ(ListedNames({"a.pff"}), "");
}

TEST_F(EditCommands, RenameChecksTheNewName) {
  // Old name, new name, exit status, a part of the message.
  const std::tuple<std::string, std::string, int, std::string> cases[] = {
      {"alpha.bin", "", 0, "nothing changed"},
      {"alpha.bin", "abcdefghijklmnopq", 1,
       "Error, File Name \"abcdefghijklmnopq\" Is Too Long!\nIt MUST be less or equal to 16 Chracters!\n"},
      {"alpha.bin", "ALPHA.BIN", 1, "Error, File Name \"ALPHA.BIN\" Is Used!\n"},
      {"nothere", "x.bin", 1, "nothere"},
  };
  const std::vector<uint8_t> before = ReadBytes(Path("a.pff"));
  for (const auto& [oldName, newName, status, message] : cases) {
    PffRun run = Pff({"rename", "a.pff", oldName, newName});
    EXPECT_EQ(run.status, status) << oldName << " -> " << newName;
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(Path("a.pff")), before);
  }
  ASSERT_EQ(Pff({"rename", "a.pff", "ALPHA.bin", "abcdefghijklmnop"}).status, 0);
  EXPECT_EQ(ListedNames({"a.pff"}), "abcdefghijklmnop Beta.TXT gamma.dat");
  // A character outside Latin-1 is stored as "_", and the warning says so.
  const PffRun omega = Pff({"rename", "a.pff", "gamma.dat", "g\xCE\xA9.dat"});
  ASSERT_EQ(omega.status, 0);
  EXPECT_EQ(omega.err,
            "pff: warning: g\xCE\xA9.dat is stored as \"g_.dat\" (names keep 16 Latin-1 characters)\n");
  ASSERT_EQ(Pff({"rename", "a.pff", "g_.dat", "gamma.dat"}).status, 0);

  // Dead space is named like any entry.
  ASSERT_EQ(Pff({"delete", "a.pff", "Beta.TXT"}).status, 0);
  ASSERT_EQ(Pff({"rename", "a.pff", "<DEAD SPACE>", "revived.txt"}).status, 0);
  EXPECT_EQ(ListedNames({"a.pff"}), "abcdefghijklmnop revived.txt gamma.dat");
}

}  // namespace
}  // namespace pff::test
