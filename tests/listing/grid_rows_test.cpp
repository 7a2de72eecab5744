#include "listing/grid_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "listing/grid_sort.h"
#include "listing/type_list.h"

namespace pff {
namespace {

PffEntry Entry(const std::string& name, int32_t size = 2048, int32_t fileTime = 18000, int32_t deadFlag = 0) {
  return PffEntry{deadFlag, 0, size, fileTime, MakeEntryName(name)};
}

// A loaded table of archives given as path and entries.
ArchiveTable Table(const std::vector<std::pair<std::string, std::vector<PffEntry>>>& archives) {
  ArchiveTable table;
  for (const auto& [path, entries] : archives) {
    PffArchive archive;
    archive.Path = path;
    archive.Header.EntryCount = static_cast<int32_t>(entries.size());
    archive.Entries = entries;
    table.Append(archive);
  }
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

TEST(GridRows, WhichArchivesAreListed) {
  ArchiveTable table = Table({{"/data/one.pff", {Entry("a.pcx"), Entry("b.wav")}},
                              {"C:\\Games\\two.pff", {Entry("c.pcx"), Entry("d.tga"), Entry("e.pcx")}}});
  EXPECT_EQ(List(table, kAllArchives), (Rows{{1, 1}, {1, 2}, {2, 1}, {2, 2}, {2, 3}}));
  EXPECT_EQ(List(table, 2), (Rows{{2, 1}, {2, 2}, {2, 3}}));
  EXPECT_TRUE(List(table, 3).empty());

  table.Archive(2).Header.EntryCount = 0;  // skipped even with stale entries
  EXPECT_EQ(List(table, kAllArchives), (Rows{{1, 1}, {1, 2}}));
  table.Clear();
  EXPECT_TRUE(List(table, kAllArchives).empty());
}

TEST(GridRows, DeadSpaceIsRecognisedByNameNotFlagAndFilteredToo) {
  // Only the exact name marks dead space, not the flag; near misses are live entries.
  const ArchiveTable table =
      Table({{"a.pff",
              {Entry("<DEAD SPACE>", 10, 0, 1), Entry("flagged.pcx", 10, 0, 1),
               Entry("<DEAD SPACE>", 10, 0, 0), Entry("<dead space>"), Entry("<DEAD SPACE> x")}}});
  EXPECT_EQ(List(table, kAllArchives, false), (Rows{{1, 2}, {1, 4}, {1, 5}}));
  EXPECT_EQ(List(table, kAllArchives, true), (Rows{{1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}}));

  FilterSettings filter;
  filter.Active = filter.SizeOn = true;
  filter.SizeMin = 11;
  EXPECT_EQ(List(table, kAllArchives, true, filter), (Rows{{1, 4}, {1, 5}}));
}

TEST(GridRows, CellTexts) {
  const ArchiveTable table = Table({{"/data/one.pff", {Entry("x"), Entry("intro.pcx", 1536, 1000000000)}},
                                    {"C:\\Games\\two.pff", {Entry("caf\xe9.b\xe9t")}}});
  const std::string expected[kGridColumns] = {" intro.pcx ",         " 2 KB ",    " PCX File ",
                                              " 08/09/01 20:46:40 ", " one.pff ", "1536",
                                              "1000000000",          "1",         "2"};
  for (int c = 0; c < kGridColumns; ++c)
    EXPECT_EQ(GridCellText(table, GridRow{1, 2}, c, DateStyle::Good), expected[c]) << c;
  EXPECT_EQ(GridCellText(table, GridRow{1, 2}, kModifiedColumn, DateStyle::Bad), " 09/08/01 08:46:40 PM ");
  EXPECT_EQ(GridCellText(table, GridRow{1, 1}, kTypeColumn, DateStyle::Good), " X File ");

  // Names are Latin-1, cells UTF-8; a row the table no longer has shows nothing.
  EXPECT_EQ(GridCellText(table, GridRow{2, 1}, kNameColumn, DateStyle::Good), " caf\xc3\xa9.b\xc3\xa9t ");
  EXPECT_EQ(GridCellText(table, GridRow{2, 1}, kTypeColumn, DateStyle::Good), " B\xc3\x89T File ");
  EXPECT_EQ(GridCellText(table, GridRow{2, 1}, kFromColumn, DateStyle::Good), " two.pff ");
  for (GridRow gone : {GridRow{3, 1}, GridRow{1, 3}, GridRow{0, 1}})
    EXPECT_EQ(GridCellText(table, gone, kNameColumn, DateStyle::Good), "");
}

TEST(GridRows, TypeListShowsAllThenEachTypeOnceInByteOrder) {
  using Types = std::vector<std::string>;
  ArchiveTable table = Table({{"a.pff",
                               {Entry("b.PCX"), Entry("a.pcx"), Entry("README"), Entry("x.tar.gz"),
                                Entry("y."), Entry("a.\xe9t"), Entry("a._x")}},
                              {"b.pff", {Entry("z.wav"), Entry("<DEAD SPACE>", 0, 0, 1)}},
                              {"c.pff", {Entry("stale.tga")}}});
  table.Archive(3).Header.EntryCount = 0;  // a zero-count archive contributes nothing
  // Dead space counts like any entry; the empty type of "y." is listed too; Latin-1 sorts after ASCII.
  EXPECT_EQ(CollectFileTypes(table, kAllArchives),
            (Types{" Show All", "", "<DEAD SPACE>", "PCX", "README", "TAR.GZ", "WAV", "_X", "\xc9T"}));
  EXPECT_EQ(CollectFileTypes(table, 2), (Types{" Show All", "<DEAD SPACE>", "WAV"}));
  EXPECT_EQ(CollectFileTypes(table, 3), Types{" Show All"});  // nothing to list
}

TEST(GridRows, HeaderSortOrders) {
  // Names differ in ASCII and Latin-1 case and one begins another; sizes and times
  // order differently as numbers and as texts; archive names differ in case.
  const ArchiveTable table = Table(
      {{"/x/B.pff", {Entry("b.pcx", 10000, 300), Entry("A.txt", 900, -100), Entry("a", 900, 200)}},
       {"C:\\y\\a.pff",
        {Entry("\xe9t\xe9.wav", 5000, 100), Entry("\xc9z.PCX", 20, 50), Entry("<DEAD SPACE>", 64, 400, 1)}}});
  // The last row names an entry the table no longer has; equal keys keep their order both ways.
  const std::vector<GridRow> rows{{1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 2}, {2, 3}, {1, 9}};
  using Order = std::vector<uint32_t>;
  const std::tuple<int, Order, Order> cases[] = {
      {0, {6, 5, 2, 1, 0, 3, 4}, {4, 3, 0, 1, 2, 5, 6}},  // "A" before "A.TXT"; é sorts as É, after Z
      {1, {6, 4, 5, 1, 2, 3, 0}, {0, 3, 1, 2, 5, 4, 6}},  // 900 before 10000
      {2, {6, 5, 2, 0, 4, 1, 3}, {3, 1, 0, 4, 2, 5, 6}},
      {3, {1, 6, 4, 3, 2, 0, 5}, {5, 0, 2, 3, 4, 6, 1}},   // 50 before 400
      {4, {3, 4, 5, 0, 1, 2, 6}, {0, 1, 2, 6, 3, 4, 5}}};  // a.pff before B.pff
  for (const auto& [column, ascending, descending] : cases) {
    EXPECT_EQ(GridSortOrder(table, rows, column, true), ascending) << column;
    EXPECT_EQ(GridSortOrder(table, rows, column, false), descending) << column;
  }
  // Ties keep listing order however many there are; std::sort keeps small ones in order by chance alone.
  std::vector<PffEntry> many;
  Order listed, a, b;
  for (uint32_t i = 0; i < 50; ++i) {
    many.push_back(i % 3 ? Entry("b.pcx", 7, 1) : Entry("A.PCX", 9, 2));
    listed.push_back(i);
    (i % 3 ? b : a).push_back(i);
  }
  Order ab = a, ba = b;
  ab.insert(ab.end(), b.begin(), b.end());
  ba.insert(ba.end(), a.begin(), a.end());
  const ArchiveTable manyTable = Table({{"m.pff", many}});
  const std::vector<GridRow> manyRows = ListGridRows(manyTable, kAllArchives, true, {});
  const std::tuple<int, Order, Order> ties[] = {
      {0, ab, ba}, {1, ba, ab}, {2, listed, listed}, {3, ba, ab}, {4, listed, listed}};
  for (const auto& [column, ascending, descending] : ties) {
    EXPECT_EQ(GridSortOrder(manyTable, manyRows, column, true), ascending) << column;
    EXPECT_EQ(GridSortOrder(manyTable, manyRows, column, false), descending) << column;
  }
  // Each column's first click sorts ascending, the next descending, whatever the others do.
  SortDirections directions;
  EXPECT_TRUE(directions.Click(2) && !directions.Click(2) && directions.Click(4) && directions.Click(2));
  EXPECT_FALSE(directions.Click(5) || directions.Ascending(0));
}

}  // namespace
}  // namespace pff
