#pragma once
// Tests of what Windows cannot do (symbolic links an ordinary user may make,
// FIFOs, owners and mode bits, a second process by fork) are skipped there
// with the reason, and kept for Linux.

#include <gtest/gtest.h>

namespace pff::test {

#ifdef _WIN32
inline constexpr bool kOnWindows = true;
#define SKIP_ON_WINDOWS(why) GTEST_SKIP() << "not on Windows: " << why
#else
inline constexpr bool kOnWindows = false;
#define SKIP_ON_WINDOWS(why) static_cast<void>(0)
#endif

inline constexpr const char* kNoLinks = "symbolic links need rights an ordinary user lacks";

}  // namespace pff::test
