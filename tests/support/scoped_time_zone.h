#pragma once
// TZ set for the life of the object, the old value put back afterwards.

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace pff::test {

class ScopedTimeZone {
 public:
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

}  // namespace pff::test
