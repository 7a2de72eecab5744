// The judgments made on an entry's first bytes before any decoder sees them,
// at the edges where an off-by-one would let a hostile header through or turn
// a good file away.
#include "formats/entry_content.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace pff::test {
namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, size_t at, uint32_t v) { b[at] = uint8_t(v), b[at + 1] = uint8_t(v >> 8); }
void Put32(Bytes& b, size_t at, uint32_t v) { Put16(b, at, v & 0xFFFF), Put16(b, at + 2, v >> 16); }

// A PCX header of w x h pixels, 8 bits in `planes` planes, lines of `line` bytes.
Bytes PcxHeader(uint32_t w, uint32_t h, int planes, uint32_t line) {
  Bytes b(128, 0);
  b[0] = 0x0A, b[1] = 5, b[2] = 1, b[3] = 8;
  Put16(b, 8, w - 1), Put16(b, 10, h - 1), Put16(b, 66, line);
  b[65] = uint8_t(planes);
  return b;
}

bool PcxAccepted(const Bytes& head, int64_t size, std::string* why = nullptr) {
  std::string error;
  const bool accepted = ReadPcxHeader(head.data(), head.size(), size, error).has_value();
  if (why) *why = error;
  return accepted;
}

// A mono 8-bit WAV header whose data chunk declares dataSize bytes; a "LIST"
// chunk of listSize bytes comes first when listSize >= 0.
Bytes WavHeader(uint32_t dataSize, int listSize = -1) {
  Bytes b(12, 0);
  std::memcpy(b.data(), "RIFF\0\0\0\0WAVE", 12);
  auto chunk = [&](const char* id, uint32_t size, size_t body) {
    const size_t at = b.size();
    b.resize(at + 8 + body);
    std::memcpy(b.data() + at, id, 4);
    Put32(b, at + 4, size);
    return at + 8;
  };
  if (listSize >= 0) chunk("LIST", uint32_t(listSize), size_t(listSize) + (listSize & 1));
  const size_t f = chunk("fmt ", 16, 16);
  Put16(b, f, 1), Put16(b, f + 2, 1), Put32(b, f + 4, 8000), Put32(b, f + 8, 8000), Put16(b, f + 12, 1);
  Put16(b, f + 14, 8);
  chunk("data", dataSize, 0);
  return b;
}

TEST(EntryContent, ImageSizesAreRefusedJustPastTheLimits) {
  EXPECT_FALSE(ImageSizeRefusal(kMaxImageSide, 1).has_value());
  EXPECT_TRUE(ImageSizeRefusal(kMaxImageSide + 1, 1).has_value());
  EXPECT_TRUE(ImageSizeRefusal(1, kMaxImageSide + 1).has_value());
  EXPECT_FALSE(ImageSizeRefusal(8192, 8192).has_value());  // exactly 256 MiB decoded
  EXPECT_TRUE(ImageSizeRefusal(8192, 8193).has_value());
  EXPECT_TRUE(ImageSizeRefusal(0, 5).has_value());
  EXPECT_TRUE(ImageSizeRefusal(5, -1).has_value());
}

TEST(EntryContent, PcxHeaderEdges) {
  const int64_t withPalette = 128 + 769;
  EXPECT_TRUE(PcxAccepted(PcxHeader(16, 2, 1, 16), withPalette));
  EXPECT_FALSE(PcxAccepted(PcxHeader(16, 2, 1, 16), withPalette - 1));  // no room for the palette
  EXPECT_TRUE(PcxAccepted(PcxHeader(16, 2, 3, 16), 128));               // 24 bits need none
  EXPECT_FALSE(PcxAccepted(PcxHeader(17, 2, 1, 16), withPalette));      // lines shorter than the width
  EXPECT_TRUE(PcxAccepted(PcxHeader(16, 2, 1, 0x7FFF), withPalette));
  std::string why;
  EXPECT_FALSE(PcxAccepted(PcxHeader(16, 2, 1, 0x8000), withPalette, &why));  // read as negative
  EXPECT_NE(why.find("32768"), std::string::npos) << why;
  Bytes backwards = PcxHeader(16, 2, 1, 16);
  Put16(backwards, 4, 16);  // left edge past the right one
  EXPECT_FALSE(PcxAccepted(backwards, withPalette));
  Bytes depth = PcxHeader(16, 2, 1, 16);
  depth[3] = 2, depth[65] = 2;  // 2 bits in 2 planes
  EXPECT_FALSE(PcxAccepted(depth, withPalette));
  Bytes cut = PcxHeader(16, 2, 1, 16);
  cut.resize(127);
  EXPECT_FALSE(PcxAccepted(cut, 1000));
}

TEST(EntryContent, WavDataMustLieInsideTheEntry) {
  std::string error;
  const Bytes head = WavHeader(100);
  const auto whole = ReadWavHeader(head.data(), head.size(), int64_t(head.size()) + 100, error);
  ASSERT_TRUE(whole.has_value()) << error;
  EXPECT_EQ(whole->dataOffset, int64_t(head.size()));
  EXPECT_EQ(whole->dataSize, 100);
  EXPECT_DOUBLE_EQ(whole->seconds, 100.0 / 8000);
  EXPECT_FALSE(ReadWavHeader(head.data(), head.size(), int64_t(head.size()) + 99, error).has_value());
  EXPECT_NE(error.find("more than the 99"), std::string::npos) << error;
  // An odd chunk is padded to an even length before the next one starts.
  const Bytes padded = WavHeader(4, 3);
  const auto afterOdd = ReadWavHeader(padded.data(), padded.size(), int64_t(padded.size()) + 4, error);
  ASSERT_TRUE(afterOdd.has_value()) << error;
  EXPECT_EQ(afterOdd->dataOffset, int64_t(padded.size()));
}

TEST(EntryContent, KindsFromFirstBytes) {
  Bytes bmp(26, 'x');
  bmp[0] = 'B', bmp[1] = 'M';
  Put32(bmp, 14, 40);
  EXPECT_EQ(DetectPreviewKind("DAT", bmp.data(), bmp.size(), 26), PreviewKind::Image);
  Put32(bmp, 14, 0x61626364);  // "BM" and no bitmap header size: a text that starts so
  EXPECT_EQ(DetectPreviewKind("DAT", bmp.data(), bmp.size(), 26), PreviewKind::Text);
  // One control byte in 50 is an old editor's leftover; one more makes bytes.
  Bytes text(100, 'a');
  text[10] = 1, text[20] = 2;
  EXPECT_TRUE(LooksLikeText(text.data(), text.size()));
  text[30] = 3;
  EXPECT_FALSE(LooksLikeText(text.data(), text.size()));
  EXPECT_EQ(DetectPreviewKind("TXT", text.data(), text.size(), 0), PreviewKind::Empty);
}

TEST(EntryContent, Utf8IsNeverCutInsideACharacter) {
  const std::string euro =
      "ab\xE2\x82\xAC"
      "cd";  // the euro sign takes bytes 2 to 4
  const auto* p = reinterpret_cast<const uint8_t*>(euro.data());
  for (size_t limit = 2; limit <= 4; ++limit) EXPECT_EQ(Utf8CutLength(p, euro.size(), limit), 2u) << limit;
  EXPECT_EQ(Utf8CutLength(p, euro.size(), 5), 5u);
  EXPECT_EQ(Utf8CutLength(p, euro.size(), 9), euro.size());
  EXPECT_TRUE(IsUtf8(p, 4));                                              // cut at the end still counts
  EXPECT_FALSE(IsUtf8(reinterpret_cast<const uint8_t*>("\xC1\x81"), 2));  // overlong
}

}  // namespace
}  // namespace pff::test
