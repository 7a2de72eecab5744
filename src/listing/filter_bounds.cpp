#include "listing/filter_bounds.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "engine/file_time.h"

namespace pff {

namespace {

constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int32_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr double kSecondsPerDay = 86400.0;
constexpr double kBytesPerKb = 1024.0;
constexpr int kSpinnerMax = 999;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the digit run starting at pos.
size_t DigitRun(const std::string& s, size_t pos) {
  size_t end = pos;
  while (end < s.size() && IsDigit(s[end])) ++end;
  return end - pos;
}

}  // namespace

double LeadingNumber(const std::string& text) {
  std::string s;
  s.reserve(text.size());
  for (char c : text)
    if (c != ' ' && c != '\t') s += c;

  size_t pos = 0;
  bool negative = false;
  if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) negative = s[pos++] == '-';
  const size_t start = pos;
  const size_t whole = DigitRun(s, pos);
  pos += whole;
  size_t fraction = 0;
  if (pos < s.size() && s[pos] == '.') {
    fraction = DigitRun(s, pos + 1);
    pos += 1 + fraction;
  }
  if (whole + fraction == 0) return 0;
  bool negativeExponent = false;
  // An exponent counts only when digits follow it; "5e" reads as 5.
  if (pos < s.size() && (s[pos] == 'e' || s[pos] == 'E')) {
    size_t at = pos + 1;
    if (at < s.size() && (s[at] == '+' || s[at] == '-')) negativeExponent = s[at++] == '-';
    const size_t digits = DigitRun(s, at);
    if (digits > 0) pos = at + digits;
  }

  double value = 0;
  // from_chars ignores the locale, so "2.5" reads the same under any LC_NUMERIC.
  const auto result = std::from_chars(s.data() + start, s.data() + pos, value);
  if (result.ec == std::errc::result_out_of_range) {
    if (negativeExponent) return 0;
    return std::numeric_limits<double>::quiet_NaN();
  }
  return negative ? -value : value;
}

std::optional<int32_t> RoundHalfEven(double value, int32_t lo, int32_t hi) {
  if (std::isnan(value)) return std::nullopt;
  // nearbyint follows the default rounding mode, which rounds halves to even.
  const double rounded = std::nearbyint(value);
  if (!(rounded >= lo && rounded <= hi)) return std::nullopt;
  return static_cast<int32_t>(rounded);
}

std::string NumberText(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15G", value);
  return buffer;
}

std::optional<int> SpinnerCount(double n) {
  if (!(n > 0)) return std::nullopt;
  const auto count = RoundHalfEven(n, 1, kSpinnerMax);
  if (!count) return std::nullopt;
  return *count;
}

std::optional<double> SteppedValue(double boxValue, int step) {
  const double v = boxValue + step;
  if (!(v > 0)) return std::nullopt;
  return v;
}

std::optional<int32_t> DayFileTime(const CalendarDay& day, double dayOffset) {
  const auto start = FileTimeFromWallClock(WallClock{day.Year, day.Month, day.Day, 0, 0, 0});
  if (!start) return std::nullopt;
  // The stored scale knows no daylight saving, so a day is always 86400 seconds.
  return RoundHalfEven(*start + dayOffset * kSecondsPerDay, kInt32Min, kInt32Max);
}

CalendarDay MonthsBack(const CalendarDay& day, int months) {
  CalendarDay start{day.Year - months / 12, day.Month - months % 12, 1};
  if (start.Month < 1) {
    start.Month += 12;
    start.Year -= 1;
  }
  return start;
}

std::optional<DateRange> FixedDateRange(int row, const CalendarDay& today) {
  const auto to = DayFileTime(today, 1);
  std::optional<int32_t> from;
  switch (row) {
    case 0:
      from = DayFileTime(today, -10);
      break;
    case 1:
      from = DayFileTime(CalendarDay{today.Year, today.Month, 1});
      break;
    case 2:
      from = DayFileTime(today, -1);
      break;
    default:
      return std::nullopt;
  }
  if (!from || !to) return std::nullopt;
  return DateRange{*from, *to};
}

std::optional<DateRange> DaysRange(const CalendarDay& today, double days) {
  const auto from = DayFileTime(today, -days);
  const auto to = DayFileTime(today, 1);
  if (!from || !to) return std::nullopt;
  return DateRange{*from, *to};
}

std::optional<DateRange> MonthsRange(const CalendarDay& today, int months) {
  const auto from = DayFileTime(MonthsBack(today, months));
  // The range runs to the start of tomorrow like every other date row, so
  // files changed today stay listed.
  const auto to = DayFileTime(today, 1);
  if (!from || !to) return std::nullopt;
  return DateRange{*from, *to};
}

std::optional<SizeRange> ComputeSizeRange(SizeMode mode, double sizeKb, double toleranceKb) {
  if (!(sizeKb > 0) || mode == SizeMode::None) return std::nullopt;
  const auto low = RoundHalfEven((sizeKb - toleranceKb) * kBytesPerKb, kInt32Min, kInt32Max);
  const auto high = RoundHalfEven((sizeKb + toleranceKb) * kBytesPerKb, kInt32Min, kInt32Max);
  switch (mode) {
    case SizeMode::AtLeast:
      if (!low) return std::nullopt;
      return SizeRange{*low, kInt32Max};
    case SizeMode::About:
      if (!low || !high) return std::nullopt;
      return SizeRange{*low, *high};
    case SizeMode::AtMost:
      if (!high) return std::nullopt;
      return SizeRange{0, *high};
    case SizeMode::None:
      break;
  }
  return std::nullopt;
}

}  // namespace pff
