#include "editing/delete_rename.h"

#include <gtest/gtest.h>

#include <utility>

#include "editing_fixture.h"

namespace pff::test {
namespace {

class DeleteRenameTest : public EditingTest {
 protected:
  void SetUp() override {
    archive_ = WriteArchive(path_, 36,
                            {{"a.txt", Pattern(10, 1), 0, 111},
                             {"B.TXT", Pattern(20, 2), 0, 222},
                             {"<DEAD SPACE>", Pattern(30, 3), 1, 333},
                             {"D.TXT", Pattern(5, 4), 0, 444}});
  }
  std::string path_ = dir_.File("a.pff");
  PffArchive archive_;
};

TEST_F(DeleteRenameTest, OnlyTheDirectoryIsRewrittenKeepingOffsetSizeAndTime) {
  // Header and data, which delete and rename never write.
  const std::vector<uint8_t> untouched = Slice(ReadBytes(path_), 0, size_t(archive_.Header.DirOffset));

  EXPECT_FALSE(DeleteFiles(archive_, {4, 0, 2, 5}, port_));  // bad indices are reported and skipped
  EXPECT_TRUE(RenameFile(archive_, 3, "SAVED.DAT", port_));  // dead space becomes live over its region
  EXPECT_FALSE(RenameFile(archive_, 5, "X", port_));

  EXPECT_EQ(port_.ErrorRoutines(),
            (std::vector<Routine>{Routine::DeleteEntries, Routine::DeleteEntries, Routine::RenameEntry}));
  EXPECT_EQ(Layout(archive_), "0@20+10 1@30+20 0@50+30 1@80+5 dir 85");
  EXPECT_EQ(archive_.Entry(2).FileTime, 222);
  EXPECT_EQ(archive_.Entry(3).FileTime, 333);
  EXPECT_EQ(NameBytes(archive_.Entry(2).Name), NameBytes(DeadSpaceName()));
  EXPECT_EQ(NameBytes(archive_.Entry(3).Name), NameBytes(MakeEntryName("SAVED.DAT")));
  EXPECT_EQ(Slice(ReadBytes(path_), 0, size_t(archive_.Header.DirOffset)), untouched);
  EXPECT_EQ(Slice(ReadBytes(path_), size_t(archive_.Header.DirOffset + 4 * 36 + 8), 46),
            Bytes("KING, Modified By Tav Oskin's Vellumcraft v0.7"));
  EXPECT_EQ(Describe(Reopen(path_)), Describe(archive_));
  ExpectZeroRecordTails(archive_);
}

TEST_F(DeleteRenameTest, NewNameChecks) {
  const std::pair<std::string, RenameCheck> cases[] = {
      {"", RenameCheck::Empty},
      {"A.TXT", RenameCheck::Used},  // its own name in another case
      {"a.tx", RenameCheck::Ok},     // a prefix is not the name
      {"ABCDEFGHIJKLMNOP", RenameCheck::Ok},
      {"ABCDEFGHIJKLMNOPQ", RenameCheck::TooLong},
      {"<DEAD SPACE>", RenameCheck::Used},
  };
  for (const auto& [name, expected] : cases) EXPECT_EQ(CheckNewName(archive_, name), expected) << name;
  archive_.Entries.erase(archive_.Entries.begin() + 2);
  EXPECT_EQ(CheckNewName(archive_, "<DEAD SPACE>"), RenameCheck::Ok) << "no dead space left";
}

}  // namespace
}  // namespace pff::test
