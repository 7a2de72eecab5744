#include "listing/grid_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace pff {
namespace {

PffEntry Entry(const std::string& name, int32_t size = 2048, int32_t fileTime = 18000, int32_t deadFlag = 0) {
  PffEntry entry;
  entry.DeadFlag = deadFlag;
  entry.DataSize = size;
  entry.FileTime = fileTime;
  entry.Name = MakeEntryName(name);
  return entry;
}

PffArchive Archive(const std::string& path, std::vector<PffEntry> entries) {
  PffArchive archive;
  archive.Path = path;
  archive.Header.EntryCount = static_cast<int32_t>(entries.size());
  archive.Entries = std::move(entries);
  return archive;
}

ArchiveTable Table(std::vector<PffArchive> archives) {
  ArchiveTable table;
  table.OpenArchives = std::move(archives);
  table.IsLoaded = true;
  return table;
}

using Rows = std::vector<std::pair<int, int>>;

Rows List(const ArchiveTable& table, int selected, bool showDeadSpace = false,
          const FilterSettings& filter = FilterSettings{}) {
  Rows rows;
  for (GridRow row : ListGridRows(table, selected, showDeadSpace, filter))
    rows.emplace_back(row.Archive, row.Entry);
  return rows;
}

ArchiveTable TwoArchives() {
  return Table({Archive("/data/one.pff", {Entry("a.pcx"), Entry("b.wav")}),
                Archive("C:\\Games\\two.pff", {Entry("c.pcx"), Entry("d.tga"), Entry("e.pcx")})});
}

TEST(GridRows, HeaderTexts) {
  const char* expected[] = {"Name ", "Size ", "Type ", "Modified ", "From"};
  for (int c = 0; c < kVisibleColumns; ++c) EXPECT_STREQ(GridHeaderText(c), expected[c]);
  EXPECT_STREQ(GridHeaderText(5), "");
  EXPECT_STREQ(GridHeaderText(-1), "");
}

TEST(GridRows, NothingListedWhileNothingIsLoaded) {
  ArchiveTable table = TwoArchives();
  table.IsLoaded = false;  // stale slots are never read
  EXPECT_TRUE(List(table, kAllArchives).empty());
}

TEST(GridRows, ViewAllListsArchivesInIndexOrder) {
  EXPECT_EQ(List(TwoArchives(), kAllArchives), (Rows{{1, 1}, {1, 2}, {2, 1}, {2, 2}, {2, 3}}));
}

TEST(GridRows, SelectedArchiveOnly) {
  const ArchiveTable table = TwoArchives();
  EXPECT_EQ(List(table, 2), (Rows{{2, 1}, {2, 2}, {2, 3}}));
  EXPECT_EQ(List(table, 1), (Rows{{1, 1}, {1, 2}}));
  EXPECT_TRUE(List(table, 3).empty());
  EXPECT_TRUE(List(table, 0).empty());
}

TEST(GridRows, ArchiveWithZeroCountIsSkippedEvenWithStaleEntries) {
  ArchiveTable table = TwoArchives();
  table.OpenArchives[0].Header.EntryCount = 0;
  EXPECT_EQ(List(table, kAllArchives), (Rows{{2, 1}, {2, 2}, {2, 3}}));
}

TEST(GridRows, DeadSpaceIsRecognisedByNameNotFlag) {
  const ArchiveTable table =
      Table({Archive("a.pff", {Entry("<DEAD SPACE>", 10, 0, 1), Entry("flagged.pcx", 10, 0, 1),
                               Entry("<DEAD SPACE>", 10, 0, 0), Entry("<dead space>")})});
  EXPECT_EQ(List(table, kAllArchives, false), (Rows{{1, 2}, {1, 4}}));
  EXPECT_EQ(List(table, kAllArchives, true), (Rows{{1, 1}, {1, 2}, {1, 3}, {1, 4}}));

  FilterSettings filter;  // the filter still applies to shown dead space
  filter.Active = filter.SizeOn = true;
  filter.SizeMin = 11;
  EXPECT_EQ(List(table, kAllArchives, true, filter), (Rows{{1, 4}}));
}

TEST(GridRows, FilterHidingEverythingLeavesNoRows) {
  FilterSettings filter;
  filter.Active = filter.IsolateOn = true;
  EXPECT_TRUE(List(TwoArchives(), kAllArchives, true, filter).empty());

  filter.IsolateList = {"PCX"};
  filter.IsolateCount = 1;
  EXPECT_EQ(List(TwoArchives(), kAllArchives, true, filter), (Rows{{1, 1}, {2, 1}, {2, 3}}));
}

TEST(GridRows, CellTexts) {
  const ArchiveTable table =
      Table({Archive("/data/one.pff", {Entry("intro.pcx", 1536, 1000000000)}),
             Archive("C:\\Games\\two.pff",
                     {Entry("x"), Entry("caf\xe9.b\xe9t", -5, -7), Entry("<DEAD SPACE>", 0)})});
  const GridRow first{1, 1};
  const std::vector<std::string> expected = {" intro.pcx ",         " 2 KB ",    " PCX File ",
                                             " 08/09/01 20:46:40 ", " one.pff ", "1536",
                                             "1000000000",          "1",         "1"};
  for (int c = 0; c < kGridColumns; ++c) EXPECT_EQ(GridCellText(table, first, c, "Good"), expected[c]) << c;
  EXPECT_EQ(GridCellText(table, first, 3, "Bad"), " 09/08/01 08:46:40 PM ");
  EXPECT_EQ(GridCellText(table, first, 3, "good"), "  ");

  const GridRow latin{2, 2};  // names are Latin-1, cells UTF-8
  EXPECT_EQ(GridCellText(table, latin, 0, "Good"), " caf\xc3\xa9.b\xc3\xa9t ");
  EXPECT_EQ(GridCellText(table, latin, 2, "Good"), " B\xc3\x89T File ");
  EXPECT_EQ(GridCellText(table, latin, 4, "Good"), " two.pff ");
  EXPECT_EQ(GridCellText(table, latin, 5, "Good"), "-5");
  EXPECT_EQ(GridCellText(table, latin, 6, "Good"), "-7");
  EXPECT_EQ(GridCellText(table, latin, 7, "Good"), "2");
  EXPECT_EQ(GridCellText(table, latin, 8, "Good"), "2");

  EXPECT_EQ(GridCellText(table, GridRow{2, 1}, 2, "Good"), " X File ");
  EXPECT_EQ(GridCellText(table, GridRow{2, 3}, 2, "Good"), " <DEAD SPACE> File ");
  EXPECT_EQ(GridCellText(table, GridRow{2, 3}, 0, "Good"), " <DEAD SPACE> ");
}

TEST(GridRows, CellOfAVanishedRowIsEmpty) {
  const ArchiveTable table = TwoArchives();
  EXPECT_EQ(GridCellText(table, GridRow{3, 1}, 0, "Good"), "");
  EXPECT_EQ(GridCellText(table, GridRow{1, 3}, 0, "Good"), "");
  EXPECT_EQ(GridCellText(table, GridRow{0, 1}, 0, "Good"), "");
  EXPECT_EQ(GridCellText(table, GridRow{1, 1}, 9, "Good"), "");
}

TEST(GridRows, FullArchivesKeepSixteenBitIndices) {
  std::vector<PffArchive> archives;
  for (int a = 0; a < 4; ++a)
    archives.push_back(Archive("x.pff", std::vector<PffEntry>(32767, Entry("a.pcx"))));
  const std::vector<GridRow> rows =
      ListGridRows(Table(std::move(archives)), kAllArchives, false, FilterSettings{});
  ASSERT_EQ(rows.size(), 4u * 32767u);
  EXPECT_EQ(rows.back().Archive, 4);
  EXPECT_EQ(rows.back().Entry, 32767);
}

}  // namespace
}  // namespace pff
