#include "engine/archive_table.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/name_helpers.h"
#include "support/recording_port.h"
#include "support/temp_dir.h"

namespace pff {
namespace {

using test::ReadBytes;
using test::RecordingPort;
using test::TempDir;
using test::WriteBytes;

class ArchiveTableTest : public ::testing::Test {
 protected:
  // An empty archive file on disk, not opened.
  std::string MakeFile(const std::string& name, Flavour flavour = Flavour::New) {
    std::string path = dir.File(name);
    WriteBytes(path, NewArchiveBytes(flavour));
    return path;
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (int i = 1; i <= table.Count(); ++i) names.push_back(GetFileName(table.Archive(i).Path));
    return names;
  }

  TempDir dir;
  ArchiveTable table;
  RecordingPort port;
};

TEST_F(ArchiveTableTest, OpeningAppendsSlotsAndTellsTheWindow) {
  EXPECT_TRUE(OpenFile(table, MakeFile("a.pff"), port));
  EXPECT_TRUE(OpenFile(table, MakeFile("b.pff", Flavour::Old), port));
  EXPECT_TRUE(table.IsLoaded);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.pff", "b.pff"}));
  EXPECT_EQ(port.loaded, (std::vector<std::pair<int, std::string>>{{1, "a.pff"}, {2, "b.pff"}}));
  EXPECT_EQ(port.filterListRefreshes, 2);
  EXPECT_EQ(table.Archive(2).Header.EntrySize, 32);
  EXPECT_TRUE(port.errors.empty());
}

TEST_F(ArchiveTableTest, AFailedLoadLeavesTheTableAsItWas) {
  // From the empty state: back to empty, nothing loaded, filter list still rebuilt.
  EXPECT_FALSE(OpenFile(table, dir.File("missing.pff"), port));
  EXPECT_FALSE(table.IsLoaded);
  EXPECT_EQ(table.Count(), 0);
  EXPECT_EQ(port.ErrorRoutines(), std::vector<std::string>{"UpdatePff"});
  EXPECT_EQ(port.filterListRefreshes, 1);

  // From a loaded state: the other archives stay, no node for the failure.
  OpenFile(table, MakeFile("a.pff"), port);
  std::string shortFile = dir.File("short.pff");
  WriteBytes(shortFile, {1, 2, 3});
  EXPECT_FALSE(OpenFile(table, shortFile, port));
  EXPECT_TRUE(table.IsLoaded);
  EXPECT_EQ(Names(), std::vector<std::string>{"a.pff"});
  EXPECT_EQ(port.loaded.size(), 1u);
  EXPECT_EQ(port.errors.back().routine, "UpdatePff");

  // A read that fails is a load failure too.
  FileFaults::FailNth(FileFaults::Op::Read, 1);
  EXPECT_FALSE(OpenFile(table, MakeFile("b.pff"), port));
  FileFaults::Clear();
  EXPECT_EQ(Names(), std::vector<std::string>{"a.pff"});
  EXPECT_EQ(port.ErrorRoutines(), (std::vector<std::string>{"UpdatePff", "UpdatePff", "UpdatePff"}));
}

TEST_F(ArchiveTableTest, IsFileOpenAsksWhetherItIsTheSameFile) {
  std::string path = MakeFile("x.pff");
  EXPECT_FALSE(IsFileOpen(table, path));
  OpenFile(table, path, port);
  EXPECT_TRUE(IsFileOpen(table, path));
  EXPECT_FALSE(IsFileOpen(table, dir.File("X.pff")));  // a different name on this file system
  MakeFile("X.pff");
  EXPECT_FALSE(IsFileOpen(table, dir.File("X.pff")));  // and a different file

  std::string cwd = std::filesystem::current_path().string();
  std::filesystem::current_path(dir.Path());
  EXPECT_TRUE(IsFileOpen(table, "./x.pff"));
  EXPECT_TRUE(IsFileOpen(table, "x.pff"));
  EXPECT_TRUE(IsFileOpen(table, "sub/../x.pff"));
  std::filesystem::create_symlink(path, dir.File("link.pff"));
  EXPECT_TRUE(IsFileOpen(table, "link.pff"));
  std::filesystem::current_path(cwd);
  EXPECT_EQ(FindOpenArchive(table, path), 1);
}

TEST_F(ArchiveTableTest, ClosingCompactsTheTable) {
  for (const char* n : {"a.pff", "b.pff", "c.pff"}) OpenFile(table, MakeFile(n), port);
  CloseFile(table, 2, port);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.pff", "c.pff"}));
  CloseFile(table, 2, port);  // the last of several
  EXPECT_EQ(Names(), std::vector<std::string>{"a.pff"});
  EXPECT_EQ(port.fileListRefreshes, 2);

  CloseFile(table, 1, port);  // the only one: same as Close All
  EXPECT_FALSE(table.IsLoaded);
  EXPECT_EQ(table.Count(), 0);
  EXPECT_EQ(port.listRefreshes, 1);

  OpenFile(table, MakeFile("d.pff"), port);  // starts again at index 1
  EXPECT_EQ(port.loaded.back(), (std::pair<int, std::string>{1, "d.pff"}));
  CloseFile(table, 5, port);
  EXPECT_EQ(port.errors.back().routine, "CloseFile");
}

TEST_F(ArchiveTableTest, CreatingWritesAnEmptyArchiveAndAppendsIt) {
  std::string big = dir.File("new.pff");
  WriteBytes(big, std::vector<uint8_t>(1000, 7));
  OpenFile(table, MakeFile("a.pff"), port);
  ASSERT_TRUE(CreateArchive(table, big, Flavour::Old, port));
  EXPECT_EQ(ReadBytes(big), NewArchiveBytes(Flavour::Old));
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.pff", "new.pff"}));
  EXPECT_EQ(table.Archive(2).Header.DirOffset, 20);

  // A journal left by the replaced file goes with it.
  WriteBytes(big + "-journal", std::vector<uint8_t>(30, 1));
  ASSERT_TRUE(CreateArchive(table, big, Flavour::Old, port));
  EXPECT_FALSE(std::filesystem::exists(big + "-journal"));

  ArchiveTable reread;
  OpenFile(reread, big, port);
  EXPECT_EQ(reread.Archive(1).Header.EntryCount, 0);

  // A folder that does not exist: reported, the table left alone.
  EXPECT_FALSE(CreateArchive(table, dir.File("no/such/folder/x.pff"), Flavour::New, port));
  EXPECT_EQ(port.errors.back().routine, "mnuNew_Click");
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.pff", "new.pff"}));
}

TEST_F(ArchiveTableTest, CreatingOverAnOpenArchiveClosesItsStaleSlot) {
  std::string a = MakeFile("a.pff");
  std::string b = MakeFile("b.pff");
  OpenFile(table, a, port);
  OpenFile(table, b, port);
  table.Archive(1).Header.EntryCount = 1;  // a directory that no longer matches the new file
  table.Archive(1).Entries.resize(1);
  ASSERT_TRUE(CreateArchive(table, a, Flavour::New, port));
  EXPECT_EQ(Names(), (std::vector<std::string>{"b.pff", "a.pff"}));
  EXPECT_EQ(table.Archive(2).Header.EntryCount, 0);
}

}  // namespace
}  // namespace pff
