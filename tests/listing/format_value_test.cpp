#include "listing/format_value.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

namespace pff {
namespace {

TEST(FormatValue, FileDateInBothStylesAndNoOther) {
  const std::tuple<int32_t, const char*, const char*> cases[] = {
      {0, "31/12/69 19:00:00", "12/31/69 07:00:00 PM"},
      {1000000000, "08/09/01 20:46:40", "09/08/01 08:46:40 PM"},
      {2147483647, "18/01/38 22:14:07", "01/18/38 10:14:07 PM"},
      {-2147483647 - 1, "13/12/01 15:45:52", "12/13/01 03:45:52 PM"},
      {18000, "01/01/70 00:00:00", "01/01/70 12:00:00 AM"},  // midnight is 12 AM, noon 12 PM
      {18000 + 12 * 3600, "01/01/70 12:00:00", "01/01/70 12:00:00 PM"},
      {18000 + 12 * 3600 - 1, "01/01/70 11:59:59", "01/01/70 11:59:59 AM"},
  };
  for (const auto& [fileTime, good, bad] : cases) {
    EXPECT_EQ(FormatFileDate(fileTime, DateStyle::Good), good) << fileTime;
    EXPECT_EQ(FormatFileDate(fileTime, DateStyle::Bad), bad) << fileTime;
  }
  EXPECT_EQ(FormatFileDate(0, DateStyle::Other), "");
}

TEST(FormatValue, FileSizeRoundsHalfAwayFromZeroAndGroups) {
  // clang-format off
  const std::pair<int32_t, const char*> cases[] = {
      {0, "0 KB"}, {511, "0 KB"}, {512, "1 KB"}, {1535, "1 KB"}, {1536, "2 KB"}, {2560, "3 KB"},
      {1023487, "999 KB"}, {1023488, "1,000 KB"}, {1048576, "1,024 KB"}, {1024000512, "1,000,001 KB"},
      {2147483647, "2,097,152 KB"}, {-512, "-1 KB"}, {-2147483647 - 1, "-2,097,152 KB"}};
  // clang-format on
  for (const auto& [bytes, text] : cases) EXPECT_EQ(FormatFileSize(bytes), text) << bytes;
}

TEST(FormatValue, ByteSizeAtEachUnitsBoundary) {
  const std::pair<int64_t, const char*> cases[] = {
      {0, "0 bytes"},          {1, "1 byte"},          {1023, "1023 bytes"},     {1024, "1.0 KB"},
      {1075, "1.0 KB"},        {1076, "1.1 KB"},       {1048524, "1023.9 KB"},   {1048525, "1.0 MB"},
      {1048576, "1.0 MB"},     {1073741824, "1.0 GB"}, {5497558138880, "5120.0 GB"}};
  for (const auto& [bytes, text] : cases) EXPECT_EQ(FormatByteSize(bytes), text) << bytes;
  EXPECT_EQ(GroupDigits(-1234567), "-1,234,567");
}

}  // namespace
}  // namespace pff
