#include "listing/grid_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

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
  EXPECT_EQ(GridCellText(table, GridRow{1, 2}, 3, DateStyle::Bad), " 09/08/01 08:46:40 PM ");
  EXPECT_EQ(GridCellText(table, GridRow{1, 1}, 2, DateStyle::Good), " X File ");

  // Names are Latin-1, cells UTF-8; a row the table no longer has shows nothing.
  EXPECT_EQ(GridCellText(table, GridRow{2, 1}, 0, DateStyle::Good), " caf\xc3\xa9.b\xc3\xa9t ");
  EXPECT_EQ(GridCellText(table, GridRow{2, 1}, 2, DateStyle::Good), " B\xc3\x89T File ");
  EXPECT_EQ(GridCellText(table, GridRow{2, 1}, 4, DateStyle::Good), " two.pff ");
  for (GridRow gone : {GridRow{3, 1}, GridRow{1, 3}, GridRow{0, 1}})
    EXPECT_EQ(GridCellText(table, gone, 0, DateStyle::Good), "");
}

}  // namespace
}  // namespace pff
