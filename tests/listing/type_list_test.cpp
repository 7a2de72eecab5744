#include "listing/type_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "listing/grid_rows.h"

namespace pff {
namespace {

using Types = std::vector<std::string>;

PffArchive Archive(const std::vector<std::string>& names) {
  PffArchive archive;
  for (const std::string& name : names) archive.Entries.push_back(PffEntry{0, 0, 0, 0, MakeEntryName(name)});
  archive.Header.EntryCount = static_cast<int32_t>(archive.Entries.size());
  return archive;
}

TEST(TypeList, ShowAllThenEachTypeOnceInByteOrder) {
  ArchiveTable table;
  EXPECT_EQ(CollectFileTypes(table, kAllArchives), Types{" Show All"}) << "nothing loaded yet";
  for (const PffArchive& archive :
       {Archive({"b.PCX", "a.pcx", "README", "x.tar.gz", "y.", "a.\xe9t", "a._x"}),
        Archive({"z.wav", "<DEAD SPACE>"}), Archive({"stale.tga"})})
    table.Append(archive);
  table.Archive(2).Entries[1].DeadFlag = 1;
  table.Archive(3).Header.EntryCount = 0;  // a zero-count archive contributes nothing
  // Dead space counts like any entry; the empty type of "y." is listed too; Latin-1 sorts after ASCII.
  EXPECT_EQ(CollectFileTypes(table, kAllArchives),
            (Types{" Show All", "", "<DEAD SPACE>", "PCX", "README", "TAR.GZ", "WAV", "_X", "\xc9T"}));
  EXPECT_EQ(CollectFileTypes(table, 2), (Types{" Show All", "<DEAD SPACE>", "WAV"}));
  EXPECT_EQ(CollectFileTypes(table, 3), Types{" Show All"});
  EXPECT_EQ(CollectFileTypes(table, 7), Types{" Show All"});
}

}  // namespace
}  // namespace pff
