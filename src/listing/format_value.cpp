#include "listing/format_value.h"

#include <cmath>
#include <cstdio>

#include "engine/file_time.h"

namespace pff {

std::string FormatFileDate(int32_t fileTime, DateStyle style) {
  if (style == DateStyle::Other) return std::string();
  const bool good = style == DateStyle::Good;
  const WallClock c = WallClockFromFileTime(fileTime);
  // Year within 1901..2038, so the two-digit year is never negative.
  const int year = c.Year % 100;
  char text[32];
  if (good) {
    std::snprintf(text, sizeof text, "%02d/%02d/%02d %02d:%02d:%02d", c.Day, c.Month, year, c.Hour, c.Minute,
                  c.Second);
  } else {
    const int hour12 = c.Hour % 12 == 0 ? 12 : c.Hour % 12;
    std::snprintf(text, sizeof text, "%02d/%02d/%02d %02d:%02d:%02d %s", c.Month, c.Day, year, hour12,
                  c.Minute, c.Second, c.Hour < 12 ? "AM" : "PM");
  }
  return text;
}

std::string FormatFileSize(int32_t bytes) {
  // std::round rounds halves away from zero.
  const long long kilobytes = std::llround(static_cast<double>(bytes) / 1024.0);
  unsigned long long magnitude = kilobytes < 0 ? 0ULL - static_cast<unsigned long long>(kilobytes)
                                               : static_cast<unsigned long long>(kilobytes);
  // Digits are written from the right, with "," after every third.
  char buffer[40];
  char* end = buffer + sizeof buffer;
  char* p = end;
  int digits = 0;
  do {
    if (digits > 0 && digits % 3 == 0) *--p = ',';
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
    ++digits;
  } while (magnitude != 0);
  if (kilobytes < 0) *--p = '-';
  std::string text(p, end);
  text += " KB";
  return text;
}

}  // namespace pff
