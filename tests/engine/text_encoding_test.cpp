#include "engine/text_encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace pff {
namespace {

TEST(TextEncoding, Latin1ToUtf8AndBack) {
  EXPECT_EQ(Latin1ToUtf8("caf\xe9\x7f\x80\xff"), "caf\xc3\xa9\x7f\xc2\x80\xc3\xbf");
  EXPECT_EQ(Utf8ToLatin1("caf\xc3\xa9\x7f\xc2\x80\xc3\xbf"), "caf\xe9\x7f\x80\xff");
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
