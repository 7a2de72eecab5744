#include "listing/filter_bounds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/file_time.h"

namespace pff {
namespace {

int32_t FT(int y, int m, int d, int h = 0) { return *FileTimeFromWallClock(WallClock{y, m, d, h, 0, 0}); }

TEST(FilterBoundsTest, LeadingNumberReadsLikeTheBoxes) {
  struct Case {
    const char* text;
    double value;
  };
  for (const Case& c :
       {Case{"", 0}, Case{"abc", 0}, Case{".", 0}, Case{"-", 0}, Case{"12", 12}, Case{" 1 2 ", 12},
        Case{"5kb", 5}, Case{".4", 0.4}, Case{"-3", -3}, Case{"+7", 7}, Case{"1.2.3", 1.2}, Case{"1e3", 1000},
        Case{"2E-1", 0.2}, Case{"5e", 5}, Case{"5e+", 5}, Case{"9e9", 9e9}, Case{"999e99", 999e99},
        Case{"1e-999", 0}, Case{"\t3", 3}}) {
    EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.value) << c.text;
  }
  EXPECT_TRUE(std::isnan(LeadingNumber("1e999")));
}

TEST(FilterBoundsTest, RoundingAndSpinnerCounts) {
  EXPECT_EQ(RoundHalfEven(0.5, 0, 9), 0);
  EXPECT_EQ(RoundHalfEven(1.5, 0, 9), 2);
  EXPECT_EQ(RoundHalfEven(2.5, 0, 9), 2);
  EXPECT_EQ(RoundHalfEven(-2.5, -9, 9), -2);
  EXPECT_EQ(RoundHalfEven(9.6, 0, 9), std::nullopt);
  EXPECT_EQ(RoundHalfEven(std::nan(""), 0, 9), std::nullopt);
  EXPECT_EQ(RoundHalfEven(3e9, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()),
            std::nullopt);

  // The spinners take 1..999 only.
  struct Case {
    double typed;
    std::optional<int> count;
  };
  for (const Case& c :
       {Case{0, std::nullopt}, Case{-1, std::nullopt}, Case{0.4, std::nullopt}, Case{0.5, std::nullopt},
        Case{0.6, 1}, Case{1, 1}, Case{2.5, 2}, Case{999, 999}, Case{999.4, 999}, Case{999.5, std::nullopt},
        Case{9e9, std::nullopt}, Case{std::nan(""), std::nullopt}}) {
    EXPECT_EQ(SpinnerCount(c.typed), c.count) << c.typed;
  }
}

TEST(FilterBoundsTest, SteppedValuesAndTheirTexts) {
  EXPECT_EQ(SteppedValue(100, 1), 101);
  EXPECT_EQ(SteppedValue(100, -1), 99);
  EXPECT_EQ(SteppedValue(1, -1), std::nullopt);
  EXPECT_EQ(SteppedValue(0, 1), 1);
  EXPECT_EQ(SteppedValue(0.5, -1), std::nullopt);

  EXPECT_EQ(NumberText(1000000), "1000000");
  EXPECT_EQ(NumberText(0.2 + 1), "1.2");
  EXPECT_EQ(NumberText(1e20), "1E+20");
}

TEST(FilterBoundsTest, DateRangesStopAtTheStorableDays) {
  EXPECT_EQ(MonthsBack(CalendarDay{2026, 3, 15}, 999).Year, 1942);
  EXPECT_EQ(MonthsBack(CalendarDay{2026, 3, 15}, 999).Month, 12);
  EXPECT_EQ(FixedDateRange(3, CalendarDay{2026, 1, 5}), std::nullopt);
  EXPECT_EQ(DayFileTime(CalendarDay{2038, 1, 18}), FT(2038, 1, 18));
  EXPECT_EQ(DayFileTime(CalendarDay{2038, 1, 19}), std::nullopt);
  // The range needs the start of the next day too.
  EXPECT_EQ(DaysRange(CalendarDay{2038, 1, 18}, 1), std::nullopt);
  EXPECT_EQ(DaysRange(CalendarDay{2026, 1, 5}, 0.25)->From, FT(2026, 1, 4, 18));
}

TEST(FilterBoundsTest, SizeRangesThatDoNotFitAreRefused) {
  // A tolerance larger than the size gives a negative lower bound, which hides nothing more.
  EXPECT_EQ(ComputeSizeRange(SizeMode::About, 1, 2)->Min, -1024);

  EXPECT_EQ(ComputeSizeRange(SizeMode::None, 100, 0), std::nullopt);
  EXPECT_EQ(ComputeSizeRange(SizeMode::About, 0, 0), std::nullopt);
  EXPECT_EQ(ComputeSizeRange(SizeMode::About, 999e99, 0), std::nullopt);
  // The largest size that fits, and one KB more.
  EXPECT_EQ(ComputeSizeRange(SizeMode::AtLeast, 2097151, 0)->Min, 2097151 * 1024);
  EXPECT_EQ(ComputeSizeRange(SizeMode::AtLeast, 2097152, 0), std::nullopt);
  // "At least" does not need the upper bound to fit, "at most" not the lower.
  EXPECT_TRUE(ComputeSizeRange(SizeMode::AtLeast, 2097000, 1000).has_value());
  EXPECT_FALSE(ComputeSizeRange(SizeMode::About, 2097000, 1000).has_value());
  EXPECT_FALSE(ComputeSizeRange(SizeMode::AtMost, 1, 3e9).has_value());
  EXPECT_FALSE(ComputeSizeRange(SizeMode::AtLeast, 3, -3e9).has_value());
}

}  // namespace
}  // namespace pff
