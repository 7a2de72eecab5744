#include "listing/format_value.h"

#include <gtest/gtest.h>

#include <string>

namespace pff {
namespace {

TEST(FormatFileDate, BothStyles) {
  const struct {
    int32_t fileTime;
    const char* good;
    const char* bad;
  } cases[] = {
      {0, "31/12/69 19:00:00", "12/31/69 07:00:00 PM"},
      {18000, "01/01/70 00:00:00", "01/01/70 12:00:00 AM"},
      {86400, "01/01/70 19:00:00", "01/01/70 07:00:00 PM"},
      {1000000000, "08/09/01 20:46:40", "09/08/01 08:46:40 PM"},
      {2147483647, "18/01/38 22:14:07", "01/18/38 10:14:07 PM"},
      {-2147483647 - 1, "13/12/01 15:45:52", "12/13/01 03:45:52 PM"},
      {18000 + 12 * 3600, "01/01/70 12:00:00", "01/01/70 12:00:00 PM"},  // noon is PM
      {18000 + 12 * 3600 - 1, "01/01/70 11:59:59", "01/01/70 11:59:59 AM"},
      {18000 + 3600 + 61, "01/01/70 01:01:01", "01/01/70 01:01:01 AM"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatFileDate(c.fileTime, "Good"), c.good) << c.fileTime;
    EXPECT_EQ(FormatFileDate(c.fileTime, "Bad"), c.bad) << c.fileTime;
  }
}

TEST(FormatFileDate, OtherStylesGiveNothing) {
  for (const char* style : {"good", "BAD", "", "Good ", "Ugly"}) {
    EXPECT_EQ(FormatFileDate(1000000000, style), "") << style;
  }
}

TEST(FormatFileSize, RoundsHalfAwayFromZeroAndGroups) {
  const struct {
    int32_t bytes;
    const char* text;
  } cases[] = {
      {0, "0 KB"},
      {511, "0 KB"},
      {512, "1 KB"},
      {1023, "1 KB"},
      {1024, "1 KB"},
      {1535, "1 KB"},
      {1536, "2 KB"},
      {2560, "3 KB"},
      {1023487, "999 KB"},
      {1023488, "1,000 KB"},  // 999.5 rounds up to the first grouped value
      {1048576, "1,024 KB"},
      {1024 * 1000000 + 512, "1,000,001 KB"},
      {2147483647, "2,097,152 KB"},
      {-511, "0 KB"},
      {-512, "-1 KB"},
      {-2147483647 - 1, "-2,097,152 KB"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatFileSize(c.bytes), c.text) << c.bytes;
}

}  // namespace
}  // namespace pff
