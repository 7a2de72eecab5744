#include "listing/type_list.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "listing/grid_rows.h"

namespace pff {
namespace {

using Types = std::vector<std::string>;

PffArchive Archive(const std::vector<std::string>& names) {
  PffArchive archive;
  archive.Path = "a.pff";
  for (const std::string& name : names) {
    PffEntry entry;
    entry.Name = MakeEntryName(name);
    archive.Entries.push_back(entry);
  }
  archive.Header.EntryCount = static_cast<int32_t>(archive.Entries.size());
  return archive;
}

ArchiveTable Table(std::vector<PffArchive> archives, bool loaded = true) {
  ArchiveTable table;
  table.OpenArchives = std::move(archives);
  table.IsLoaded = loaded;
  return table;
}

TEST(TypeList, NothingOpenGivesShowAllAlone) {
  EXPECT_EQ(CollectFileTypes(Table({}, false), kAllArchives), Types{" Show All"});
  EXPECT_EQ(CollectFileTypes(Table({Archive({"a.pcx"})}, false), kAllArchives), Types{" Show All"});
  EXPECT_EQ(CollectFileTypes(Table({Archive({})}), kAllArchives), Types{" Show All"});
}

TEST(TypeList, DistinctTypesSortedAfterShowAll) {
  PffArchive dead = Archive({"z.wav", "<DEAD SPACE>"});
  dead.Entries[1].DeadFlag = 1;
  const ArchiveTable table = Table({Archive({"b.PCX", "a.pcx", "README", "x.tar.gz", "y."}), dead});
  // Dead space counts like any entry; the empty type of "y." is listed too.
  EXPECT_EQ(CollectFileTypes(table, kAllArchives),
            (Types{" Show All", "", "<DEAD SPACE>", "PCX", "README", "TAR.GZ", "WAV"}));
}

TEST(TypeList, OnlyTheSelectedArchive) {
  const ArchiveTable table = Table({Archive({"a.pcx"}), Archive({"b.wav", "c.tga"})});
  EXPECT_EQ(CollectFileTypes(table, 2), (Types{" Show All", "TGA", "WAV"}));
  EXPECT_EQ(CollectFileTypes(table, 1), (Types{" Show All", "PCX"}));
  EXPECT_EQ(CollectFileTypes(table, 7), Types{" Show All"});
}

TEST(TypeList, ZeroCountArchiveContributesNothing) {
  ArchiveTable table = Table({Archive({"stale.pcx"}), Archive({"b.wav"})});
  table.OpenArchives[0].Header.EntryCount = 0;
  EXPECT_EQ(CollectFileTypes(table, kAllArchives), (Types{" Show All", "WAV"}));
}

TEST(TypeList, OrderIsByByteValue) {
  // Latin-1 letters sort after ASCII; digits and "_" by their codes.
  const ArchiveTable table = Table({Archive({"a.\xe9t", "a.zip", "a._x", "a.1", "a.Z"})});
  EXPECT_EQ(CollectFileTypes(table, kAllArchives), (Types{" Show All", "1", "Z", "ZIP", "_X", "\xc9T"}));
}

}  // namespace
}  // namespace pff
