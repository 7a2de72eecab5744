#include "listing/filter_bounds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "engine/file_time.h"

namespace pff {
namespace {

using Bounds = std::pair<int32_t, int32_t>;
Bounds B(const SizeRange& r) { return {r.Min, r.Max}; }
Bounds B(const DateRange& r) { return {r.From, r.To}; }
int32_t FT(int y, int m, int d, int h = 0) { return *FileTimeFromWallClock(WallClock{y, m, d, h, 0, 0}); }
constexpr int32_t kMax = 2147483647;

TEST(FilterBounds, NumbersReadFromTheBoxes) {
  const std::pair<const char*, double> cases[] = {
      {"", 0},       {"abc", 0}, {"5kb", 5},   {".4", 0.4},        {"-3", -3},
      {"2E-1", 0.2}, {"5e+", 5}, {"9e9", 9e9}, {"999e99", 999e99}, {"1e-999", 0}};
  for (const auto& [text, value] : cases) EXPECT_DOUBLE_EQ(LeadingNumber(text), value) << text;
  EXPECT_TRUE(std::isnan(LeadingNumber("1e999")));

  // The spinners take whole counts 1..999 (halves to even); bad texts leave them alone.
  const std::pair<double, std::optional<int>> counts[] = {
      {0.5, std::nullopt}, {0.6, 1}, {2.5, 2}, {999.4, 999}, {999.5, std::nullopt}, {-1, std::nullopt}};
  for (const auto& [typed, count] : counts) EXPECT_EQ(SpinnerCount(typed), count) << typed;
  EXPECT_EQ(SpinnerCount(LeadingNumber("1e999")), std::nullopt);  // NaN
}

TEST(FilterBounds, DateRangesRunToTheStartOfTomorrow) {
  const CalendarDay today{2026, 2, 15};
  EXPECT_EQ(B(FixedDateRange(1, today).value()), Bounds(FT(2026, 2, 1), FT(2026, 2, 16)));
  EXPECT_EQ(DaysRange(CalendarDay{2026, 1, 5}, 0.25).value().From, FT(2026, 1, 4, 18));

  // Months back across the year boundary, to the first of that month.
  EXPECT_EQ(B(MonthsRange(today, 2).value()), Bounds(FT(2025, 12, 1), FT(2026, 2, 16)));
  EXPECT_EQ(B(MonthsRange(today, 14).value()), Bounds(FT(2024, 12, 1), FT(2026, 2, 16)));
  const CalendarDay back = MonthsBack(CalendarDay{2026, 3, 15}, 999);
  EXPECT_EQ(Bounds(back.Year, back.Month), Bounds(1942, 12));

  EXPECT_EQ(DayFileTime(CalendarDay{2038, 1, 19}), std::nullopt);
  EXPECT_EQ(DaysRange(CalendarDay{2038, 1, 18}, 1), std::nullopt);  // tomorrow does not fit
}

TEST(FilterBounds, SizeModesWithTolerance) {
  EXPECT_EQ(B(ComputeSizeRange(SizeMode::AtLeast, 10, 2).value()), Bounds(8 * 1024, kMax));
  EXPECT_EQ(B(ComputeSizeRange(SizeMode::About, 10, 2).value()), Bounds(8 * 1024, 12 * 1024));
  EXPECT_EQ(B(ComputeSizeRange(SizeMode::AtMost, 10, 2).value()), Bounds(0, 12 * 1024));
  EXPECT_EQ(B(ComputeSizeRange(SizeMode::About, 1, 2).value()), Bounds(-1024, 3 * 1024));

  EXPECT_EQ(ComputeSizeRange(SizeMode::None, 100, 0), std::nullopt);
  for (const char* bad : {"0", "999e99", "1e999"})
    EXPECT_EQ(ComputeSizeRange(SizeMode::About, LeadingNumber(bad), 0), std::nullopt) << bad;
  // The largest size that fits, and one KB more; each mode needs only its own bounds to fit.
  EXPECT_EQ(ComputeSizeRange(SizeMode::AtLeast, 2097151, 0).value().Min, 2097151 * 1024);
  EXPECT_EQ(ComputeSizeRange(SizeMode::AtLeast, 2097152, 0), std::nullopt);
  EXPECT_TRUE(ComputeSizeRange(SizeMode::AtLeast, 2097000, 1000).has_value());
  EXPECT_FALSE(ComputeSizeRange(SizeMode::About, 2097000, 1000).has_value());
  EXPECT_FALSE(ComputeSizeRange(SizeMode::AtMost, 1, 3e9).has_value());
}

}  // namespace
}  // namespace pff
