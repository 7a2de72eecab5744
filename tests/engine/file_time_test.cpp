#include "engine/file_time.h"

#include <gtest/gtest.h>

#include <ctime>
#include <tuple>
#include <utility>

#include "support/scoped_time_zone.h"

namespace pff {
namespace {

using test::ScopedTimeZone;

const char* const kZones[] = {"UTC", "Asia/Tokyo", "America/New_York"};
const WallClock kLast{2038, 1, 18, 22, 14, 7}, kFirst{1901, 12, 13, 15, 45, 52};

auto Fields(const WallClock& c) { return std::tie(c.Year, c.Month, c.Day, c.Hour, c.Minute, c.Second); }

// Unix seconds of a local wall-clock reading under the current TZ.
int64_t LocalToUnix(const WallClock& c) {
  std::tm tm{};
  tm.tm_year = c.Year - 1900, tm.tm_mon = c.Month - 1, tm.tm_mday = c.Day;
  tm.tm_hour = c.Hour, tm.tm_min = c.Minute, tm.tm_sec = c.Second, tm.tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(&tm));
}

TEST(FileTime, WallClockReadingsBothWaysInEveryZone) {
  SKIP_UNLESS_ZONES_CHANGE();
  // The last is the leap day of a year divisible by 400.
  // clang-format off
  const std::pair<int32_t, WallClock> known[] = {
      {0, {1969, 12, 31, 19, 0, 0}}, {18000, {1970, 1, 1, 0, 0, 0}}, {86400, {1970, 1, 1, 19, 0, 0}},
      {-1, {1969, 12, 31, 18, 59, 59}}, {2147483647, kLast}, {-2147483647 - 1, kFirst},
      {951800400, {2000, 2, 29, 0, 0, 0}}};
  // clang-format on
  for (const char* zone : kZones) {
    ScopedTimeZone tz(zone);
    for (const auto& [fileTime, clock] : known) {
      EXPECT_EQ(Fields(WallClockFromFileTime(fileTime)), Fields(clock)) << zone << " " << fileTime;
      EXPECT_EQ(FileTimeFromWallClock(clock), fileTime) << zone;
    }
  }
  EXPECT_EQ(FileTimeFromWallClock(WallClock{2038, 1, 18, 22, 14, 8}), std::nullopt);
  EXPECT_EQ(FileTimeFromWallClock(WallClock{1901, 12, 13, 15, 45, 51}), std::nullopt);
}

TEST(FileTime, UnixTimeIsReadOnTheLocalClock) {
  SKIP_UNLESS_ZONES_CHANGE();
  {
    // Without time-zone data every zone silently reads as UTC and this test would prove nothing.
    ScopedTimeZone tz("Asia/Tokyo");
    ASSERT_EQ(LocalToUnix(WallClock{1970, 1, 1, 9, 0, 0}), 0) << "time-zone data (tzdata) missing";
  }
  const WallClock readings[] = {{1970, 1, 1, 0, 0, 0}, {2024, 7, 15, 14, 30, 0}, {2024, 1, 15, 14, 30, 0}};
  for (const char* zone : kZones) {
    ScopedTimeZone tz(zone);
    for (const WallClock& r : readings) {
      EXPECT_EQ(FileTimeFromUnix(LocalToUnix(r), 0), FileTimeFromWallClock(r)) << zone << " " << r.Month;
    }
    const int64_t last = LocalToUnix(kLast), first = LocalToUnix(kFirst);
    EXPECT_EQ(FileTimeFromUnix(last, 0), 2147483647) << zone;
    EXPECT_EQ(FileTimeFromUnix(last + 1, 0), std::nullopt) << zone;
    EXPECT_EQ(FileTimeFromUnix(last, 500000001), std::nullopt) << zone;  // rounds up past the end
    EXPECT_EQ(FileTimeFromUnix(first, 0), -2147483647 - 1) << zone;
    EXPECT_EQ(FileTimeFromUnix(first - 1, 0), std::nullopt) << zone;
  }
  EXPECT_EQ(FileTimeFromUnix(INT64_MAX, 999999999), std::nullopt);
  EXPECT_EQ(FileTimeFromUnix(INT64_MIN, 0), std::nullopt);
}

TEST(FileTime, UnixNanosecondsRoundHalvesToEven) {
  ScopedTimeZone tz("UTC");
  // Unix 0 in UTC is the wall-clock reading stored as 18000 (even); halves go to the even second.
  const std::tuple<int64_t, int64_t, int32_t> cases[] = {
      {0, 499999999, 18000},  {0, 500000000, 18000},  {0, 500000001, 18001}, {1, 500000000, 18002},
      {0, 1500000000, 18002}, {1, -500000000, 18000}, {0, -500000001, 17999}};
  for (const auto& [seconds, nanoseconds, expected] : cases) {
    EXPECT_EQ(FileTimeFromUnix(seconds, nanoseconds), expected) << seconds << " " << nanoseconds;
  }
}

}  // namespace
}  // namespace pff
