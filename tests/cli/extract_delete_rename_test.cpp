// pff extract, pff delete and pff rename on real archives.

#include <gtest/gtest.h>

#include <filesystem>

#include "pff_process.h"

namespace pff::test {
namespace {

class EditCommands : public CliTest {
 protected:
  // An archive holding alpha.bin, Beta.TXT and gamma.dat, built by the tool itself.
  void SetUp() override {
    CliTest::SetUp();
    ASSERT_EQ(Pff({"new", "--df3", "a.pff"}).status, 0);
    std::string binary;
    for (unsigned i = 0; i < 256; ++i) binary += static_cast<char>(i);
    MakeFile("alpha.bin", binary);
    MakeFile("Beta.TXT", "beta text\r\n");
    MakeFile("gamma.dat", "");
    ASSERT_EQ(Pff({"add", "a.pff", "alpha.bin", "Beta.TXT", "gamma.dat"}).status, 0);
    std::filesystem::create_directory(Path("out"));
  }
};

TEST_F(EditCommands, ExtractWritesIdenticalFiles) {
  ASSERT_EQ(Pff({"delete", "a.pff", "gamma.dat"}).status, 0);
  WriteText(Path("out/alpha.bin"), std::string(1000, 'z'));  // replaced, not merged

  PffRun all = Pff({"extract", "-C", "out", "a.pff"});
  ASSERT_EQ(all.status, 0) << all.err;
  EXPECT_EQ(ReadBytes(Path("out/alpha.bin")), ReadBytes(Path("alpha.bin")));
  EXPECT_EQ(ReadBytes(Path("out/Beta.TXT")), ReadBytes(Path("Beta.TXT")));
  EXPECT_FALSE(std::filesystem::exists(Path("out/<DEAD SPACE>")));
  ASSERT_EQ(Pff({"extract", "--all", "-C", "out", "a.pff"}).status, 0);
  EXPECT_TRUE(std::filesystem::exists(Path("out/<DEAD SPACE>")));

  // By name, any letter case, into the current folder; a missing name fails but does not stop the others.
  std::filesystem::remove(Path("Beta.TXT"));
  PffRun named = Pff({"extract", "a.pff", "nothere", "BETA.txt"});
  EXPECT_EQ(named.status, 1);
  EXPECT_NE(named.err.find("nothere"), std::string::npos) << named.err;
  EXPECT_EQ(ReadBytes(Path("Beta.TXT")), ReadBytes(Path("out/Beta.TXT")));
}

TEST_F(EditCommands, ControlBytesOfNamesAreEscapedEverywhere) {
  ASSERT_EQ(Pff({"rename", "a.pff", "Beta.TXT", "tab\there\x1b[2J"}).status, 0);
  EXPECT_EQ(ListedNames({"a.pff"}), "alpha.bin tab\\there\\x1B[2J gamma.dat");
  const std::string table = Pff({"list", "a.pff"}).out;
  EXPECT_NE(table.find(" tab\\x09here\\x1B[2J "), std::string::npos) << table;
  // An engine error that embeds the name: a folder stands where the file would go.
  std::filesystem::create_directory(Path("out/tab\there\x1b[2J"));
  const PffRun run = Pff({"extract", "-C", "out", "a.pff", "TAB\tHERE\x1B[2j"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Error in ExtractFile: "), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("tab\\x09here\\x1B[2J"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find('\x1b'), std::string::npos) << run.err;
}

TEST_F(EditCommands, ExtractedFilesKeepTheStoredTime) {
  ASSERT_EQ(Pff({"extract", "-C", "out", "a.pff"}).status, 0);
  for (const char* name : {"alpha.bin", "Beta.TXT", "gamma.dat"}) {
    EXPECT_EQ(std::filesystem::last_write_time(Path(std::string("out/") + name)),
              std::filesystem::last_write_time(Path(name)))
        << name;
  }
}

TEST_F(EditCommands, DeleteByNameOrIndexLeavesDeadSpace) {
  const size_t size = ReadBytes(Path("a.pff")).size();
  PffRun byName = Pff({"delete", "a.pff", "BETA.TXT", "nothere"});
  EXPECT_EQ(byName.status, 1);
  EXPECT_NE(byName.err.find("nothere"), std::string::npos) << byName.err;
  EXPECT_EQ(ListedNames({"a.pff"}), "alpha.bin gamma.dat");
  EXPECT_EQ(ListedNames({"--all", "a.pff"}), "alpha.bin <DEAD SPACE> gamma.dat");
  EXPECT_EQ(ReadBytes(Path("a.pff")).size(), size);

  EXPECT_EQ(Pff({"delete", "--index", "3", "4", "0", "a.pff"}).status, 1);
  EXPECT_EQ(ListedNames({"--all", "a.pff"}), "alpha.bin <DEAD SPACE> <DEAD SPACE>");
  ASSERT_EQ(Pff({"delete", "--index", "1", "1", "a.pff"}).status, 0);
  EXPECT_EQ(ListedNames({"a.pff"}), "");
}

TEST_F(EditCommands, RenameChecksTheNewName) {
  struct Case {
    std::string oldName, newName;
    int status;
    std::string message;  // expected within stderr
  };
  const Case cases[] = {
      {"alpha.bin", "", 0, "nothing changed"},
      {"alpha.bin", "abcdefghijklmnopq", 1,
       "Error, File Name \"abcdefghijklmnopq\" Is Too Long!\nIt MUST be less or equal to 16 Chracters!\n"},
      {"alpha.bin", "ALPHA.BIN", 1, "Error, File Name \"ALPHA.BIN\" Is Used!\n"},
      {"nothere", "x.bin", 1, "nothere"},
  };
  const std::vector<uint8_t> before = ReadBytes(Path("a.pff"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.oldName + " -> " + c.newName);
    PffRun run = Pff({"rename", "a.pff", c.oldName, c.newName});
    EXPECT_EQ(run.status, c.status);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(Path("a.pff")), before);
  }
  ASSERT_EQ(Pff({"rename", "a.pff", "ALPHA.bin", "abcdefghijklmnop"}).status, 0);
  EXPECT_EQ(ListedNames({"a.pff"}), "abcdefghijklmnop Beta.TXT gamma.dat");

  // Dead space counts as a used name; renaming it brings the region back to life.
  ASSERT_EQ(Pff({"delete", "a.pff", "Beta.TXT"}).status, 0);
  EXPECT_EQ(Pff({"rename", "a.pff", "gamma.dat", "<dead space>"}).status, 1);
  ASSERT_EQ(Pff({"rename", "a.pff", "<DEAD SPACE>", "revived.txt"}).status, 0);
  ASSERT_EQ(Pff({"extract", "-C", "out", "a.pff", "revived.txt"}).status, 0);
  EXPECT_EQ(ReadBytes(Path("out/revived.txt")), ReadBytes(Path("Beta.TXT")));
}

}  // namespace
}  // namespace pff::test
