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
  return GroupDigits(std::llround(static_cast<double>(bytes) / 1024.0)) + " KB";
}

std::string GroupDigits(int64_t number) {
  unsigned long long magnitude =
      number < 0 ? 0ULL - static_cast<unsigned long long>(number) : static_cast<unsigned long long>(number);
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
  if (number < 0) *--p = '-';
  return std::string(p, end);
}

std::string FormatByteSize(int64_t bytes) {
  if (bytes < 1024 && bytes > -1024) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
  const char* const units[] = {"KB", "MB", "GB"};
  double value = static_cast<double>(bytes) / 1024.0;
  int unit = 0;
  while (std::fabs(value) >= 1023.95 && unit < 2) {
    value /= 1024.0;
    ++unit;
  }
  char text[48];
  std::snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
  return text;
}

}  // namespace pff
