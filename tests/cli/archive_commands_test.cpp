// pff new, info, check and compact, and how the tool answers --help and misuse.

#include <gtest/gtest.h>

#include "engine/pff_format.h"
#include "pff_process.h"

namespace pff::test {
namespace {

using ArchiveCommands = CliTest;
using Strings = std::vector<std::string>;

const std::vector<std::pair<std::string, std::string>> kTwoFiles = {{"one.txt", "first file"},
                                                                    {"two.txt", "second"}};

TEST_F(ArchiveCommands, NewWritesEitherFlavourAndRefusesExistingFilesWithoutForce) {
  for (const auto& [flag, flavour] : {std::pair{"--df1", Flavour::Old}, std::pair{"--df3", Flavour::New}}) {
    SCOPED_TRACE(flag);
    const std::string name = std::string(flag + 2) + ".pff";
    ASSERT_EQ(Pff({"new", flag, name}).status, 0);
    EXPECT_EQ(ReadBytes(Path(name)), NewArchiveBytes(flavour));

    // An existing file, archive or not, stays as it was without --force.
    WriteText(Path(name), "precious data, longer than an empty archive: " + std::string(100, 'x'));
    const std::vector<uint8_t> before = ReadBytes(Path(name));
    PffRun refused = Pff({"new", flag, name});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;
    EXPECT_EQ(ReadBytes(Path(name)), before);

    ASSERT_EQ(Pff({"new", "--force", flag, name}).status, 0);
    EXPECT_EQ(ReadBytes(Path(name)), NewArchiveBytes(flavour));
  }
}

TEST_F(ArchiveCommands, InfoCountsLiveAndDeadEntries) {
  NewArchive("a.pff",
             {{"A.TXT", "hello"}, {"B.DAT", std::string(300, 'b')}, {"C.DAT", std::string(20, 'c')}});
  ASSERT_EQ(Pff({"delete", "a.pff", "b.dat", "c.dat"}).status, 0);

  PffRun info = Pff({"info", "a.pff"});
  ASSERT_EQ(info.status, 0) << info.err;
  // 62 + 325 data bytes, then 3 records of 36, 8 zeros and the 46-byte stamp.
  EXPECT_EQ(info.out,
            "header_size: 20\nmagic: PFF3\nentry_count: 3\nentry_size: 36\ndir_offset: 387\n"
            "file_size: 549\nlive_entries: 1\ndead_entries: 2\ndead_bytes: 320\n");
}

TEST_F(ArchiveCommands, CheckReportsFindingsAndExitsByErrors) {
  NewArchive("a.pff", kTwoFiles, "--df1");
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

TEST_F(ArchiveCommands, CompactDropsDeadSpaceAndRefusesAnArchiveInError) {
  NewArchive("a.pff", kTwoFiles, "--df1");
  ASSERT_EQ(Pff({"delete", "a.pff", "one.txt"}).status, 0);
  PffRun run = Pff({"compact", "a.pff"});
  ASSERT_EQ(run.status, 0) << run.err;
  // 20 + 10 + 6 data + 2 records + footer 54 before; 20 + 6 + 32 + 54 after.
  EXPECT_EQ(run.out, "a.pff: 42 bytes reclaimed (154 -> 112 bytes)\n");
  EXPECT_EQ(ListedNames({"--all", "a.pff"}), "two.txt");

  std::vector<uint8_t> bytes = ReadBytes(Path("a.pff"));
  bytes[20 + 6 + 4] = 200;  // the data offset now runs past the end
  WriteBytes(Path("a.pff"), bytes);
  PffRun refused = Pff({"compact", "a.pff"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("Error in CompactArchive"), std::string::npos) << refused.err;
  EXPECT_EQ(ReadBytes(Path("a.pff")), bytes);
}

TEST_F(ArchiveCommands, HelpSucceedsAndMisuseIsAUsageErrorThatTouchesNothing) {
  EXPECT_EQ(Pff({"--help"}).status, 0);
  for (const char* command : {"new", "list", "add", "rename"}) {
    PffRun run = Pff({command, "--help"});
    EXPECT_EQ(run.status, 0) << command;
    EXPECT_EQ(run.out.rfind(std::string("Usage: pff ") + command, 0), 0u) << run.out;
  }

  ASSERT_EQ(Pff({"new", "--df1", "a.pff"}).status, 0);
  const std::vector<uint8_t> before = ReadBytes(Path("a.pff"));
  const std::vector<std::vector<std::string>> misuses = {
      {},
      {"frobnicate"},
      {"new", "--df1", "--df3", "b.pff"},
      {"info", "a.pff", "a.pff"},
      {"list", "--bogus", "a.pff"},
      {"list", "--all=1", "a.pff"},
      {"list", "a.pff", "--type"},
      {"list", "--max-size", "2147483648", "a.pff"},
      {"list", "--from", "2021-02-29", "a.pff"},
      {"list", "--tsv", "--json", "a.pff"},
      {"delete", "--index", "1", "x", "a.pff"},
      {"rename", "a.pff", "A.TXT"},
  };
  for (const auto& args : misuses) {
    PffRun run = Pff(args);
    EXPECT_EQ(run.status, 2) << (args.empty() ? "" : args[0]) << " " << run.err;
    EXPECT_NE(run.err, "");
  }
  EXPECT_EQ(ReadBytes(Path("a.pff")), before);
}

}  // namespace
}  // namespace pff::test
