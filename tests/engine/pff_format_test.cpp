#include "engine/pff_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "engine/name_helpers.h"
#include "engine/pff_error.h"
#include "support/temp_dir.h"

namespace pff {
namespace {

using test::ReadBytes;
using test::ReadInt32;
using test::TempDir;
using test::WriteBytes;

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

void PutInt(std::vector<uint8_t>& b, size_t at, int32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
}

// A hand-made archive of `length` zero bytes under a header.
std::vector<uint8_t> MakeArchive(int32_t count, int32_t entrySize, int32_t dirOffset, size_t length) {
  std::vector<uint8_t> b(length, 0);
  PutInt(b, 0, 20);
  std::memcpy(b.data() + 4, "PFF3", 4);
  PutInt(b, 8, count);
  PutInt(b, 12, entrySize);
  PutInt(b, 16, dirOffset);
  return b;
}

TEST(PffFormat, NewArchivesMatchTheWorkedLayouts) {
  // Header (size, magic, count, record size, directory offset), the stamp, 8 zeros and "KING".
  const std::string tail = "Created With Tav Oskin's Vellumcraft v0.7" + std::string(8, '\0') + "KING";
  EXPECT_EQ(NewArchiveBytes(Flavour::Old),
            Bytes(std::string("\x3E\0\0\0PFF3\0\0\0\0\x20\0\0\0\x14\0\0\0", 20) + tail));
  EXPECT_EQ(NewArchiveBytes(Flavour::New),
            Bytes(std::string("\x14\0\0\0PFF3\0\0\0\0\x24\0\0\0\x3E\0\0\0", 20) + tail));
}

// Archives written from raw bytes and read back with ReadArchive.
class PffFormatTest : public ::testing::Test {
 protected:
  // Reads bytes as an archive into h and entries; throws what ReadArchive throws.
  void Read(const std::vector<uint8_t>& bytes) {
    WriteBytes(path, bytes);
    BinaryFile f = BinaryFile::Open(path, BinaryFile::Mode::Read);
    ReadArchive(f, h, entries);
  }
  TempDir dir;
  const std::string path = dir.File("a.pff");
  PffHeader h;
  std::vector<PffEntry> entries;
};

TEST_F(PffFormatTest, ReadsThirtySixByteRecordsAtTheirStrideAndWritesZeroTails) {
  // Two 36-byte records at offset 40 whose tails hold garbage.
  std::vector<uint8_t> b = MakeArchive(2, 36, 40, 40 + 72 + 10);
  for (int r = 0; r < 2; ++r) {
    size_t at = 40 + r * 36;
    PutInt(b, at + 4, 20 + r);
    PutInt(b, at + 8, r + 1);
    std::memcpy(b.data() + at + 16, r ? "B.TXT" : "A.TXT", 5);
    PutInt(b, at + 32, -1);
  }
  Read(b);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].DataOffset, 21);
  EXPECT_EQ(StripNulls(NameBytes(entries[1].Name)), "B.TXT");

  BinaryFile f = BinaryFile::Open(path, BinaryFile::Mode::ReadWrite);
  WriteDirectoryTo(f, h, entries);
  f.Close();
  std::vector<uint8_t> after = ReadBytes(path);
  const std::string stamp = "KING, Modified By Tav Oskin's Vellumcraft v0.7";
  ASSERT_EQ(after.size(), 40 + 72 + 8 + stamp.size());
  EXPECT_EQ(ReadInt32(after, 40 + 32), 0);
  EXPECT_EQ(ReadInt32(after, 40 + 36 + 32), 0);
  EXPECT_EQ(std::vector<uint8_t>(after.begin() + 112, after.begin() + 120), std::vector<uint8_t>(8, 0));
  EXPECT_EQ(std::string(after.begin() + 120, after.end()), stamp);
}

TEST_F(PffFormatTest, UnusualHeadersThatStillDescribeAnArchiveAreRead) {
  std::vector<uint8_t> b = MakeArchive(2, 8, 20, 20 + 64);  // small records: contiguous 32-byte ones
  PutInt(b, 20 + 32 + 8, 77);                               // size of the second record, 32 bytes on
  Read(b);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].DataSize, 77);
  Read(MakeArchive(1, 4096, 20, 20 + 4096));  // the widest records accepted
  EXPECT_EQ(h.EntrySize, 4096);
  b = MakeArchive(0, -7, -100000, 20);  // no entries: the other fields do not matter
  std::memcpy(b.data() + 4, "JUNK", 4);
  Read(b);
  EXPECT_EQ(h.DirOffset, -100000);
  EXPECT_TRUE(entries.empty());
}

TEST_F(PffFormatTest, DirectoryWriteNeverTruncates) {
  std::vector<uint8_t> b = NewArchiveBytes(Flavour::Old);
  b.resize(500, 0xAB);
  WriteBytes(path, b);
  BinaryFile f = BinaryFile::Open(path, BinaryFile::Mode::ReadWrite);
  WriteDirectoryTo(f, NewHeader(Flavour::Old), {});
  f.Close();
  std::vector<uint8_t> after = ReadBytes(path);
  ASSERT_EQ(after.size(), 500u);
  EXPECT_EQ(std::string(after.begin() + 28, after.begin() + 32), "KING");  // footer at 20 + 8
  EXPECT_EQ(after[20 + 8 + 46], 0xAB);
}

TEST_F(PffFormatTest, MalformedArchivesAreRefusedWithAReason) {
  const std::pair<const char*, std::vector<uint8_t>> cases[] = {
      {"empty file", {}},
      {"truncated header", Bytes("PFF3PFF3PFF3")},
      {"negative count", MakeArchive(-1, 32, 20, 100)},
      {"count above 32767", MakeArchive(32768, 32, 20, 100)},
      {"huge count", MakeArchive(2147483647, 36, 20, 100)},
      {"directory past the end", MakeArchive(3, 32, 20, 20 + 95)},
      {"directory offset past the end", MakeArchive(1, 32, 1000, 100)},
      {"negative directory offset", MakeArchive(1, 32, -8, 100)},
      {"36-byte records past the end", MakeArchive(2, 36, 20, 20 + 64)},
      {"directory at 0, inside the header", MakeArchive(1, 32, 0, 100)},
      {"directory at 19, inside the header", MakeArchive(1, 32, 19, 100)},
      {"records of 4,097 bytes", MakeArchive(1, 4097, 20, 20 + 4097)},
      {"records of 0x70000000 bytes", MakeArchive(1, 0x70000000, 20, 100)},
  };
  for (const auto& [what, bytes] : cases) {
    entries.clear();
    EXPECT_THROW(Read(bytes), PffError) << what;
    EXPECT_TRUE(entries.empty()) << what;
  }
}

}  // namespace
}  // namespace pff
