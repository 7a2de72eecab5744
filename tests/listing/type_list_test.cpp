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
  table.OpenArchives = {Archive({"b.PCX", "a.pcx", "README", "x.tar.gz", "y.", "a.\xe9t", "a._x"}),
                        Archive({"z.wav", "<DEAD SPACE>"}), Archive({"stale.tga"})};
  table.OpenArchives[1].Entries[1].DeadFlag = 1;
  table.OpenArchives[2].Header.EntryCount = 0;  // a zero-count archive contributes nothing
  EXPECT_EQ(CollectFileTypes(table, kAllArchives), Types{" Show All"}) << "nothing loaded yet";

  table.IsLoaded = true;
  // Dead space counts like any entry; the empty type of "y." is listed too; Latin-1 sorts after ASCII.
  EXPECT_EQ(CollectFileTypes(table, kAllArchives),
            (Types{" Show All", "", "<DEAD SPACE>", "PCX", "README", "TAR.GZ", "WAV", "_X", "\xc9T"}));
  EXPECT_EQ(CollectFileTypes(table, 2), (Types{" Show All", "<DEAD SPACE>", "WAV"}));
  EXPECT_EQ(CollectFileTypes(table, 3), Types{" Show All"});
  EXPECT_EQ(CollectFileTypes(table, 7), Types{" Show All"});
}

}  // namespace
}  // namespace pff
