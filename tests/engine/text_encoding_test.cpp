#include "engine/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace pff {
namespace {

TEST(TextEncoding, Latin1RoundTripsThroughUtf8) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::string utf8 = Latin1ToUtf8(all);
  EXPECT_EQ(utf8.size(), 128u + 2u * 128u);
  EXPECT_EQ(Utf8ToLatin1(utf8), all);
}

TEST(TextEncoding, Latin1ToUtf8Examples) {
  EXPECT_EQ(Latin1ToUtf8("abc"), "abc");
  EXPECT_EQ(Latin1ToUtf8("caf\xe9"), "caf\xc3\xa9");
  EXPECT_EQ(Latin1ToUtf8("\xff"), "\xc3\xbf");
}

TEST(TextEncoding, Utf8ToLatin1ReplacesWhatLatin1CannotHold) {
  const struct {
    const char* utf8;
    const char* latin1;
  } cases[] = {
      {"caf\xc3\xa9", "caf\xe9"},
      {"\xe2\x82\xac.txt", "_.txt"},  // euro sign: one character, one "_"
      {"\xf0\x9f\x98\x80x", "_x"},    // four-byte character
      {"a\x80"
       "b",
       "a_b"},        // stray continuation byte
      {"\xc3", "_"},  // cut off at the end
      {"\xc3"
       "A",
       "_A"},                        // lead byte without continuation
      {"\xe2\x82", "__"},            // truncated three-byte character: one per byte
      {"\xc0\x80", "__"},            // overlong NUL
      {"\xe0\x80\xaf", "___"},       // overlong "/"
      {"\xed\xa0\x80", "___"},       // UTF-16 surrogate
      {"\xf4\x90\x80\x80", "____"},  // beyond U+10FFFF
      {"\xff\xfe", "__"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToLatin1(c.utf8), c.latin1) << c.utf8;
}

}  // namespace
}  // namespace pff
