#include "engine/file_time.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace pff {
namespace {

// Sets TZ for the life of the object and restores the previous value.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) saved_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ScopedTimeZone() {
    if (saved_) {
      setenv("TZ", saved_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  std::optional<std::string> saved_;
};

const char* const kZones[] = {"UTC", "Asia/Tokyo", "America/New_York"};

WallClock Clock(int year, int month, int day, int hour, int minute, int second) {
  WallClock c;
  c.Year = year;
  c.Month = month;
  c.Day = day;
  c.Hour = hour;
  c.Minute = minute;
  c.Second = second;
  return c;
}

// Unix seconds of a local wall-clock reading under the current TZ.
int64_t LocalToUnix(const WallClock& c) {
  std::tm tm{};
  tm.tm_year = c.Year - 1900;
  tm.tm_mon = c.Month - 1;
  tm.tm_mday = c.Day;
  tm.tm_hour = c.Hour;
  tm.tm_min = c.Minute;
  tm.tm_sec = c.Second;
  tm.tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(&tm));
}

struct Known {
  int32_t fileTime;
  WallClock clock;
};

const Known kKnown[] = {
    {0, Clock(1969, 12, 31, 19, 0, 0)},
    {18000, Clock(1970, 1, 1, 0, 0, 0)},
    {86400, Clock(1970, 1, 1, 19, 0, 0)},
    {-1, Clock(1969, 12, 31, 18, 59, 59)},
    {1000000000, Clock(2001, 9, 8, 20, 46, 40)},
    {951800400, Clock(2000, 2, 29, 0, 0, 0)},  // leap day of a year divisible by 400
    {2147483647, Clock(2038, 1, 18, 22, 14, 7)},
    {-2147483647 - 1, Clock(1901, 12, 13, 15, 45, 52)},
};

void ExpectClock(const WallClock& actual, const WallClock& expected, int32_t fileTime) {
  EXPECT_EQ(actual.Year, expected.Year) << fileTime;
  EXPECT_EQ(actual.Month, expected.Month) << fileTime;
  EXPECT_EQ(actual.Day, expected.Day) << fileTime;
  EXPECT_EQ(actual.Hour, expected.Hour) << fileTime;
  EXPECT_EQ(actual.Minute, expected.Minute) << fileTime;
  EXPECT_EQ(actual.Second, expected.Second) << fileTime;
}

TEST(FileTime, KnownReadingsBothWaysInEveryZone) {
  for (const char* zone : kZones) {
    ScopedTimeZone tz(zone);
    for (const Known& k : kKnown) {
      ExpectClock(WallClockFromFileTime(k.fileTime), k.clock, k.fileTime);
      EXPECT_EQ(FileTimeFromWallClock(k.clock), k.fileTime) << zone;
    }
  }
}

TEST(FileTime, RoundTripAcrossTheRange) {
  for (int64_t t = -2147483648LL; t <= 2147483647LL; t += 7777777) {
    const auto fileTime = static_cast<int32_t>(t);
    EXPECT_EQ(FileTimeFromWallClock(WallClockFromFileTime(fileTime)), fileTime);
  }
}

TEST(FileTime, WallClockOverflowAtTheEdges) {
  EXPECT_EQ(FileTimeFromWallClock(Clock(2038, 1, 18, 22, 14, 7)), 2147483647);
  EXPECT_EQ(FileTimeFromWallClock(Clock(2038, 1, 18, 22, 14, 8)), std::nullopt);
  EXPECT_EQ(FileTimeFromWallClock(Clock(1901, 12, 13, 15, 45, 52)), -2147483647 - 1);
  EXPECT_EQ(FileTimeFromWallClock(Clock(1901, 12, 13, 15, 45, 51)), std::nullopt);
  EXPECT_EQ(FileTimeFromWallClock(Clock(9999, 12, 31, 23, 59, 59)), std::nullopt);
  EXPECT_EQ(FileTimeFromWallClock(Clock(1, 1, 1, 0, 0, 0)), std::nullopt);
}

TEST(FileTime, UnixTimeIsReadOnTheLocalClock) {
  {
    // Without time-zone data every zone silently reads as UTC and this test would prove nothing.
    ScopedTimeZone tz("Asia/Tokyo");
    ASSERT_EQ(LocalToUnix(Clock(1970, 1, 1, 9, 0, 0)), 0) << "time-zone data (tzdata) missing";
  }
  const WallClock readings[] = {
      Clock(1970, 1, 1, 0, 0, 0),    Clock(2001, 9, 8, 20, 46, 40),   Clock(2024, 7, 15, 14, 30, 0),
      Clock(2024, 1, 15, 14, 30, 0), Clock(1999, 12, 31, 23, 59, 59),
  };
  for (const char* zone : kZones) {
    ScopedTimeZone tz(zone);
    for (const WallClock& r : readings) {
      EXPECT_EQ(FileTimeFromUnix(LocalToUnix(r), 0), FileTimeFromWallClock(r)) << zone << " " << r.Year;
    }
  }
}

TEST(FileTime, UnixTimeOverflowAtTheEdges) {
  for (const char* zone : kZones) {
    ScopedTimeZone tz(zone);
    const int64_t last = LocalToUnix(Clock(2038, 1, 18, 22, 14, 7));
    EXPECT_EQ(FileTimeFromUnix(last, 0), 2147483647) << zone;
    EXPECT_EQ(FileTimeFromUnix(last + 1, 0), std::nullopt) << zone;
    EXPECT_EQ(FileTimeFromUnix(last, 500000001), std::nullopt) << zone;  // rounds up past the end
    const int64_t first = LocalToUnix(Clock(1901, 12, 13, 15, 45, 52));
    EXPECT_EQ(FileTimeFromUnix(first, 0), -2147483647 - 1) << zone;
    EXPECT_EQ(FileTimeFromUnix(first - 1, 0), std::nullopt) << zone;
  }
  EXPECT_EQ(FileTimeFromUnix(INT64_MAX, 0), std::nullopt);
  EXPECT_EQ(FileTimeFromUnix(INT64_MIN, 0), std::nullopt);
  EXPECT_EQ(FileTimeFromUnix(INT64_MAX, 999999999), std::nullopt);
}

TEST(FileTime, UnixNanosecondsRoundHalvesToEven) {
  ScopedTimeZone tz("UTC");
  // Unix 0 in UTC is the wall-clock reading stored as 18000 (even).
  const struct {
    int64_t seconds, nanoseconds;
    int32_t expected;
  } cases[] = {
      {0, 0, 18000},          {0, 499999999, 18000},  {0, 500000000, 18000},  // half, already even
      {0, 500000001, 18001},  {1, 500000000, 18002},                          // half, odd goes up
      {1, 499999999, 18001},  {0, 1500000000, 18002},                         // nanoseconds past a second
      {1, -500000000, 18000}, {0, -500000001, 17999},                         // negative nanoseconds
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FileTimeFromUnix(c.seconds, c.nanoseconds), c.expected) << c.seconds << " " << c.nanoseconds;
  }
}

}  // namespace
}  // namespace pff
