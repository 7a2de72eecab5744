#pragma once
// TZ set for the life of the object, the old value put back afterwards.

#include <cstdlib>
#include <ctime>
#include <optional>
#include <stdexcept>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace pff::test {

#ifdef _WIN32
// A Windows process keeps the zone it started with (Wine takes it from TZ):
// only UTC, which the test runner starts the programs in, can be asked for.
class ScopedTimeZone {
 public:
  static constexpr bool CanChange = false;
  explicit ScopedTimeZone(const std::string& zone) {
    TIME_ZONE_INFORMATION info;
    const DWORD kind = ::GetTimeZoneInformation(&info);
    if (zone != "UTC" || info.Bias != 0 || kind == TIME_ZONE_ID_DAYLIGHT)
      throw std::runtime_error("the tests need the UTC zone (TZ=UTC) on Windows; asked for " + zone);
  }
};
#else
class ScopedTimeZone {
 public:
  static constexpr bool CanChange = true;
  explicit ScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) old_ = old;
    ::setenv("TZ", zone, 1);
    ::tzset();
  }
  ~ScopedTimeZone() {
    old_ ? ::setenv("TZ", old_->c_str(), 1) : ::unsetenv("TZ");
    ::tzset();
  }

 private:
  std::optional<std::string> old_;
};
#endif

inline constexpr const char* kFixedZone = "a Windows process cannot change its time zone";
/// Skips the test where the zone cannot change inside the process.
#define SKIP_UNLESS_ZONES_CHANGE() \
  if (!::pff::test::ScopedTimeZone::CanChange) GTEST_SKIP() << ::pff::test::kFixedZone

}  // namespace pff::test
