#include "engine/archive_table.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/binary_file.h"
#include "engine/name_helpers.h"
#include "support/recording_port.h"
#include "support/system_skips.h"
#include "support/temp_dir.h"

namespace pff {
namespace {

using test::ReadBytes;
using test::RecordingPort;
using test::TempDir;
using test::WriteBytes;
using Names = std::vector<std::string>;

class ArchiveTableTest : public ::testing::Test {
 protected:
  // An empty archive file on disk, not opened.
  std::string MakeFile(const std::string& name, Flavour flavour = Flavour::New) {
    std::string path = dir.File(name);
    WriteBytes(path, NewArchiveBytes(flavour));
    return path;
  }
  Names Listed() const {
    Names names;
    for (const PffArchive& archive : table) names.push_back(GetFileName(archive.Path));
    return names;
  }

  TempDir dir;
  ArchiveTable table;
  RecordingPort port;
};

TEST_F(ArchiveTableTest, OpeningAppendsAndAFailedOpenLeavesTheTableAsItWas) {
  EXPECT_EQ(OpenFile(table, dir.File("missing.pff"), port), 0);
  EXPECT_FALSE(table.IsLoaded());
  EXPECT_EQ(OpenFile(table, MakeFile("a.pff"), port), 1);
  EXPECT_EQ(OpenFile(table, MakeFile("b.pff", Flavour::Old), port), 2);
  EXPECT_EQ(table.Archive(2).Header.EntrySize, 32);

  const std::string shortFile = dir.File("short.pff");
  WriteBytes(shortFile, {1, 2, 3});
  EXPECT_EQ(OpenFile(table, shortFile, port), 0);
  FileFaults::FailNth(FileFaults::Op::Read, 1);  // a read that fails is a load failure too
  EXPECT_EQ(OpenFile(table, MakeFile("c.pff"), port), 0);
  FileFaults::Clear();
  EXPECT_EQ(Listed(), (Names{"a.pff", "b.pff"}));
  EXPECT_EQ(port.ErrorRoutines(), std::vector<Routine>(3, Routine::OpenArchive));
}

TEST_F(ArchiveTableTest, IsFileOpenAsksWhetherItIsTheSameFile) {
  std::string path = MakeFile("x.pff");
  EXPECT_FALSE(IsFileOpen(table, path));
  OpenFile(table, path, port);
  EXPECT_TRUE(IsFileOpen(table, path));
  // A different name on Linux, and then a different file; one name on Windows.
  EXPECT_EQ(IsFileOpen(table, dir.File("X.pff")), test::kOnWindows);
  MakeFile("X.pff");
  EXPECT_EQ(IsFileOpen(table, dir.File("X.pff")), test::kOnWindows);

  std::string cwd = std::filesystem::current_path().string();
  std::filesystem::current_path(dir.Path());
  for (const char* same : {"./x.pff", "x.pff", "sub/../x.pff"}) EXPECT_TRUE(IsFileOpen(table, same));
  if (!test::kOnWindows) {  // kNoLinks
    std::filesystem::create_symlink(path, dir.File("link.pff"));
    EXPECT_TRUE(IsFileOpen(table, "link.pff"));
  }
  std::filesystem::current_path(cwd);
  EXPECT_EQ(FindOpenArchive(table, path), 1);
}

TEST_F(ArchiveTableTest, ClosingMovesLaterArchivesDownByOne) {
  for (const char* n : {"a.pff", "b.pff", "c.pff", "d.pff"}) OpenFile(table, MakeFile(n), port);
  EXPECT_TRUE(CloseFile(table, 2, port));
  EXPECT_EQ(Listed(), (Names{"a.pff", "c.pff", "d.pff"}));
  EXPECT_TRUE(CloseFile(table, 3, port));  // the last of several
  EXPECT_EQ(Listed(), (Names{"a.pff", "c.pff"}));
  EXPECT_FALSE(CloseFile(table, 5, port));
  EXPECT_EQ(port.ErrorRoutines(), std::vector<Routine>{Routine::CloseArchive});
  EXPECT_TRUE(CloseFile(table, 1, port));
  EXPECT_TRUE(CloseFile(table, 1, port));
  EXPECT_FALSE(table.IsLoaded());
  EXPECT_EQ(OpenFile(table, MakeFile("e.pff"), port), 1);  // starts again at index 1
}

TEST_F(ArchiveTableTest, CreatingWritesAnEmptyArchiveAndAppendsIt) {
  std::string big = dir.File("new.pff");
  WriteBytes(big, std::vector<uint8_t>(1000, 7));
  WriteBytes(big + "-journal", std::vector<uint8_t>(30, 1));  // goes with the replaced file
  OpenFile(table, MakeFile("a.pff"), port);
  const Created created = CreateArchive(table, big, Flavour::Old);
  EXPECT_EQ(created.Index, 2);
  EXPECT_EQ(created.Closed, 0);
  EXPECT_EQ(ReadBytes(big), NewArchiveBytes(Flavour::Old));
  EXPECT_FALSE(std::filesystem::exists(big + "-journal"));
  EXPECT_EQ(table.Archive(2).Header.DirOffset, 20);

  const Created failed = CreateArchive(table, dir.File("no/such/folder/x.pff"), Flavour::New);
  EXPECT_EQ(failed.Index, 0);
  EXPECT_NE(failed.Error, "");
  EXPECT_EQ(Listed(), (Names{"a.pff", "new.pff"}));
  EXPECT_TRUE(port.errors.empty());
}

TEST_F(ArchiveTableTest, CreatingOverAnOpenArchiveClosesItsStaleSlot) {
  std::string a = MakeFile("a.pff");
  OpenFile(table, a, port);
  OpenFile(table, MakeFile("b.pff"), port);
  table.Archive(1).Header.EntryCount = 1;  // a directory that no longer matches the new file
  table.Archive(1).Entries.resize(1);
  const Created created = CreateArchive(table, a, Flavour::New);
  EXPECT_EQ(created.Closed, 1);
  EXPECT_EQ(created.Index, 2);
  EXPECT_EQ(Listed(), (Names{"b.pff", "a.pff"}));
  EXPECT_EQ(table.Archive(2).Header.EntryCount, 0);

  // A failing write, or a crash after it, leaves the old file whole and open;
  // a program changing the old file makes the create wait, then give up.
  const std::vector<uint8_t> before = ReadBytes(a);
  FileFaults::FailNth(FileFaults::Op::Write, 1);
  const Created failed = CreateArchive(table, a, Flavour::Old);
  FileFaults::Clear();
  EXPECT_EQ(failed.Index, 0);
  EXPECT_EQ(failed.Closed, 0);
  FileFaults::CrashAfterNth(1);
  EXPECT_THROW(CreateArchive(table, a, Flavour::Old), SimulatedCrash);
  FileFaults::Clear();
  BinaryFile holder = BinaryFile::Open(a, BinaryFile::Mode::Read);
  ASSERT_TRUE(holder.LockExclusive(0));
  const Created refused = CreateArchive(table, a, Flavour::Old);
  EXPECT_NE(refused.Error.find("being changed by another program"), std::string::npos);
  EXPECT_EQ(ReadBytes(a), before);
  EXPECT_EQ(Listed(), (Names{"b.pff", "a.pff"}));
}

}  // namespace
}  // namespace pff
