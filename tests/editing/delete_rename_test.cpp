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
  // Bytes before the directory: header and data, which delete and rename never write.
  std::vector<uint8_t> HeaderAndData() const {
    return Slice(ReadBytes(path_), 0, static_cast<size_t>(archive_.Header.DirOffset));
  }

  std::string path_ = dir_.File("a.pff");
  PffArchive archive_;
};

TEST_F(DeleteRenameTest, DeleteKeepsOffsetSizeTimeAndEveryByteBeforeTheDirectory) {
  const std::vector<uint8_t> untouched = HeaderAndData();

  EXPECT_FALSE(DeleteFiles(archive_, {4, 0, 2, 5}, port_));  // bad indices are reported and skipped

  EXPECT_EQ(port_.ErrorRoutines(), (std::vector<std::string>{"DeleteFile", "DeleteFile"}));
  EXPECT_EQ(Layout(archive_), "0@20+10 1@30+20 1@50+30 1@80+5 dir 85");
  EXPECT_EQ(archive_.Entry(2).FileTime, 222);
  EXPECT_EQ(NameBytes(archive_.Entry(2).Name), NameBytes(DeadSpaceName()));
  EXPECT_EQ(HeaderAndData(), untouched);
  EXPECT_EQ(Slice(ReadBytes(path_), size_t(archive_.Header.DirOffset + 4 * 36 + 8), 46),
            Bytes("KING, Modified By Tav Oskin's Vellumcraft v0.7"));
  EXPECT_EQ(Describe(Reopen(path_)), Describe(archive_));
  ExpectZeroRecordTails(archive_);
}

TEST_F(DeleteRenameTest, RenamedDeadSpaceBecomesALiveEntryOverItsRegion) {
  const std::vector<uint8_t> untouched = HeaderAndData();

  EXPECT_TRUE(RenameFile(archive_, 3, "SAVED.DAT", port_));

  EXPECT_EQ(Layout(archive_), "0@20+10 0@30+20 0@50+30 0@80+5 dir 85");
  EXPECT_EQ(archive_.Entry(3).FileTime, 333);
  EXPECT_EQ(NameBytes(archive_.Entry(3).Name), NameBytes(MakeEntryName("SAVED.DAT")));
  EXPECT_EQ(HeaderAndData(), untouched);
  EXPECT_EQ(Describe(Reopen(path_)), Describe(archive_));
  ExpectZeroRecordTails(archive_);
  EXPECT_FALSE(RenameFile(archive_, 5, "X", port_));
  EXPECT_EQ(port_.ErrorRoutines(), std::vector<std::string>{"RenameFile"});
}

TEST_F(DeleteRenameTest, NewNameChecks) {
  PffArchive noDead = archive_;
  noDead.Entries.erase(noDead.Entries.begin() + 2);
  noDead.Header.EntryCount = 3;
  struct Case {
    const PffArchive* archive;
    std::string name;
    RenameCheck expected;
  };
  const Case cases[] = {
      {&archive_, "", RenameCheck::Empty},
      {&archive_, "A.TXT", RenameCheck::Used},  // its own name in another case
      {&archive_, "a.tx", RenameCheck::Ok},     // a prefix is not the name
      {&archive_, "ABCDEFGHIJKLMNOP", RenameCheck::Ok},
      {&archive_, "ABCDEFGHIJKLMNOPQ", RenameCheck::TooLong},
      {&archive_, "<DEAD SPACE>", RenameCheck::Used},
      {&noDead, "<DEAD SPACE>", RenameCheck::Ok},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckNewName(*c.archive, c.name), c.expected)
        << c.name << (c.archive == &noDead ? " (no dead)" : "");
  }
}

}  // namespace
}  // namespace pff::test
