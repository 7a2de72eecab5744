// pff check, pff compact and the name warnings of pff add, on real archives.

#include <gtest/gtest.h>

#include <filesystem>

#include "pff_process.h"

namespace pff::test {
namespace {

using Strings = std::vector<std::string>;

class CheckCompact : public CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    ASSERT_EQ(Pff({"new", "--df1", "a.pff"}).status, 0);
    MakeFile("one.txt", "first file");
    MakeFile("two.txt", "second");
    ASSERT_EQ(Pff({"add", "a.pff", "one.txt", "two.txt"}).status, 0);
  }
};

TEST_F(CheckCompact, CheckReportsFindingsAndExitsByErrors) {
  ASSERT_EQ(Pff({"new", "--df3", "b.pff"}).status, 0);
  PffRun clean = Pff({"check", "a.pff", "b.pff"});
  EXPECT_EQ(clean.status, 0) << clean.err;
  EXPECT_EQ(Lines(clean.out), (Strings{"a.pff: 0 errors, 0 warnings, 2 entries (2 intact)",
                                       "b.pff: 0 errors, 0 warnings, 0 entries (0 intact)"}));

  // A truncated directory (an error) and a missing footer (a warning).
  std::vector<uint8_t> bytes = ReadBytes(Path("a.pff"));
  bytes.resize(bytes.size() - 54 - 16);
  WriteBytes(Path("cut.pff"), bytes);
  bytes = ReadBytes(Path("a.pff"));
  bytes.back() = 'X', bytes[bytes.size() - 46] = 'Q';
  WriteBytes(Path("nofoot.pff"), bytes);

  PffRun run = Pff({"check", "cut.pff", "nofoot.pff"});
  EXPECT_EQ(run.status, 1);
  const Strings lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 4u) << run.out;
  EXPECT_EQ(lines[0].rfind("cut.pff: error: The directory (2 records at offset 36) runs past the end", 0),
            0u);
  EXPECT_EQ(lines[1], "cut.pff: 1 errors, 0 warnings, 1 entries (1 intact)");
  EXPECT_EQ(lines[2].rfind("nofoot.pff: warning: No footer", 0), 0u);
  EXPECT_EQ(Pff({"check", "nofoot.pff"}).status, 0);
  EXPECT_EQ(Lines(Pff({"check", "--quiet", "nofoot.pff"}).out),
            Strings{"nofoot.pff: 0 errors, 1 warnings, 2 entries (2 intact)"});
}

TEST_F(CheckCompact, CompactDropsDeadSpaceAndRefusesAnArchiveInError) {
  ASSERT_EQ(Pff({"delete", "a.pff", "one.txt"}).status, 0);
  PffRun run = Pff({"compact", "a.pff"});
  ASSERT_EQ(run.status, 0) << run.err;
  // 20 + 10 + 6 data + 2 records + footer 54 before; 20 + 6 + 32 + 54 after.
  EXPECT_EQ(run.out, "a.pff: 42 bytes reclaimed (154 -> 112 bytes)\n");
  EXPECT_EQ(ListedNames({"--all", "a.pff"}), "two.txt");
  ASSERT_EQ(Pff({"extract", "-C", ".", "a.pff"}).status, 0);

  std::vector<uint8_t> bytes = ReadBytes(Path("a.pff"));
  bytes[20 + 6 + 4] = 200;  // the data offset now runs past the end
  WriteBytes(Path("a.pff"), bytes);
  PffRun refused = Pff({"compact", "a.pff"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("Error in CompactArchive"), std::string::npos) << refused.err;
  EXPECT_EQ(ReadBytes(Path("a.pff")), bytes);
}

TEST_F(CheckCompact, AddWarnsOfChangedNamesAndRefusesASecondFileOfOneName) {
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

}  // namespace
}  // namespace pff::test
