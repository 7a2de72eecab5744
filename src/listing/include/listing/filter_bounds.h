#pragma once
// The arithmetic behind the advanced filter dialog: reading its numeric boxes,
// the date ranges of its three date rows and the size bounds of its three
// size modes. Dates are calendar days on the wall clock (no time zone).

#include <cstdint>
#include <optional>
#include <string>

namespace pff {

/// The leading decimal number of text with every blank ignored ("1 2" is 12,
/// "5kb" is 5); 0 when there is none; NaN when it is too large for a double.
double LeadingNumber(const std::string& text);

/// value rounded to a whole number, halves to even; nullopt outside [lo, hi] or for NaN.
std::optional<int32_t> RoundHalfEven(double value, int32_t lo, int32_t hi);

/// The shortest decimal text of value with at most 15 significant digits ("101", "2.5", "1E+20").
std::string NumberText(double value);

/// The whole count a day or month spinner takes for a typed value: n rounded
/// (halves to even); nullopt when n is not above 0 or the count falls outside 1..999.
std::optional<int> SpinnerCount(double n);

/// A size or tolerance box value moved by a spinner step; nullopt when the sum is not above 0.
std::optional<double> SteppedValue(double boxValue, int step);

struct CalendarDay {
  int Year = 1970, Month = 1, Day = 1;
};

/// FileTime of day at 00:00:00 moved by dayOffset days (fractions move into the day,
/// rounded to the second, halves to even); nullopt outside the 32-bit range.
std::optional<int32_t> DayFileTime(const CalendarDay& day, double dayOffset = 0);

/// The first day of the month that lies months months before the month of day.
CalendarDay MonthsBack(const CalendarDay& day, int months);

struct DateRange {
  int32_t From = 0;
  int32_t To = 0;
};

/// The date rows chosen without reading their boxes: "between" (today - 10 days
/// to tomorrow), months (first of this month to tomorrow), days (yesterday to tomorrow).
std::optional<DateRange> FixedDateRange(int row, const CalendarDay& today);
/// From today minus days days (a fraction moves into the day) to the start of tomorrow.
std::optional<DateRange> DaysRange(const CalendarDay& today, double days);
/// From the first day of the month months months back to the start of tomorrow.
std::optional<DateRange> MonthsRange(const CalendarDay& today, int months);

enum class SizeMode { None, AtLeast, About, AtMost };

struct SizeRange {
  int32_t Min = 0;
  int32_t Max = 2147483647;
};

/// The size bounds in bytes for sizeKb and toleranceKb (kilobytes of 1024 bytes);
/// nullopt (bounds stay) when sizeKb is not above 0, no mode is chosen, or a
/// bound does not fit a signed 32-bit number.
std::optional<SizeRange> ComputeSizeRange(SizeMode mode, double sizeKb, double toleranceKb);

}  // namespace pff
