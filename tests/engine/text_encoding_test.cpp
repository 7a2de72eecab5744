#include "engine/text_encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace pff {
namespace {

TEST(TextEncoding, Latin1RoundTripsThroughUtf8) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::string utf8 = Latin1ToUtf8(all);
  EXPECT_EQ(Utf8ToLatin1(utf8), all);
  EXPECT_EQ(Latin1ToUtf8("caf\xe9\xff"), "caf\xc3\xa9\xc3\xbf");
}

TEST(TextEncoding, Utf8ToLatin1ReplacesWhatLatin1CannotHold) {
  // Euro sign and a four-byte character: one "_" each. Malformed bytes (stray continuation, cut off,
  // overlong, UTF-16 surrogate, beyond U+10FFFF): one "_" per byte.
  // clang-format off
  const std::pair<const char*, const char*> cases[] = {
      {"\xe2\x82\xac.txt", "_.txt"}, {"\xf0\x9f\x98\x80x", "_x"}, {"a\x80z", "a_z"}, {"\xc3", "_"},
      {"\xe2\x82", "__"}, {"\xc0\x80", "__"}, {"\xed\xa0\x80", "___"}, {"\xf4\x90\x80\x80", "____"}};
  // clang-format on
  for (const auto& [utf8, latin1] : cases) EXPECT_EQ(Utf8ToLatin1(utf8), latin1) << utf8;
}

}  // namespace
}  // namespace pff
