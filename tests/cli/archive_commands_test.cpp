// pff new and pff info, and how the tool answers --help and misuse.

#include <gtest/gtest.h>

#include "pff_process.h"

namespace pff::test {
namespace {

using ArchiveCommands = CliTest;

TEST_F(ArchiveCommands, NewWritesEitherFlavourAndRefusesExistingFilesWithoutForce) {
  struct Case {
    const char* flag;
    int32_t headerSize, entrySize, dirOffset;
  };
  for (const Case& c : {Case{"--df1", 62, 32, 20}, Case{"--df3", 20, 36, 62}}) {
    SCOPED_TRACE(c.flag);
    const std::string name = std::string(c.flag + 2) + ".pff";
    ASSERT_EQ(Pff({"new", c.flag, name}).status, 0);
    const std::vector<uint8_t> bytes = ReadBytes(Path(name));
    ASSERT_EQ(bytes.size(), 73u);
    EXPECT_EQ(std::string(bytes.begin() + 4, bytes.begin() + 8), "PFF3");
    EXPECT_EQ(ReadInt32(bytes, 0), c.headerSize);
    EXPECT_EQ(ReadInt32(bytes, 8), 0);
    EXPECT_EQ(ReadInt32(bytes, 12), c.entrySize);
    EXPECT_EQ(ReadInt32(bytes, 16), c.dirOffset);

    // An existing file, archive or not, stays as it was without --force.
    WriteText(Path(name), "precious data, longer than an empty archive: " + std::string(100, 'x'));
    const std::vector<uint8_t> before = ReadBytes(Path(name));
    PffRun refused = Pff({"new", c.flag, name});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;
    EXPECT_EQ(ReadBytes(Path(name)), before);

    ASSERT_EQ(Pff({"new", "--force", c.flag, name}).status, 0);
    EXPECT_EQ(ReadBytes(Path(name)).size(), 73u);
  }
}

TEST_F(ArchiveCommands, InfoCountsLiveAndDeadEntries) {
  ASSERT_EQ(Pff({"new", "--df3", "a.pff"}).status, 0);
  MakeFile("A.TXT", "hello");
  MakeFile("B.DAT", std::string(300, 'b'));
  MakeFile("C.DAT", std::string(20, 'c'));
  ASSERT_EQ(Pff({"add", "a.pff", "A.TXT", "B.DAT", "C.DAT"}).status, 0);
  ASSERT_EQ(Pff({"delete", "a.pff", "b.dat", "c.dat"}).status, 0);

  PffRun info = Pff({"info", "a.pff"});
  ASSERT_EQ(info.status, 0) << info.err;
  // 62 + 325 data bytes, then 3 records of 36, 8 zeros and the 46-byte stamp.
  EXPECT_EQ(info.out,
            "header_size: 20\nmagic: PFF3\nentry_count: 3\nentry_size: 36\ndir_offset: 387\n"
            "file_size: 549\nlive_entries: 1\ndead_entries: 2\ndead_bytes: 320\n");
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
