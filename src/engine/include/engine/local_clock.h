#pragma once
// The system's local clock: the one place the program asks the operating
// system to turn moments into wall-clock readings and back, under the zone's
// rules for the date in question (daylight saving as it was then).

#include <cstdint>
#include <optional>

#include "engine/file_time.h"

namespace pff {

/// The local wall-clock reading at unixSeconds; nullopt when the system cannot say.
std::optional<WallClock> LocalReading(int64_t unixSeconds);
/// The Unix seconds at which the local clock shows reading; nullopt when the
/// system cannot say. A reading skipped by a clock change is taken as the
/// system's own conversion takes it.
std::optional<int64_t> UnixFromLocalReading(const WallClock& reading);

}  // namespace pff
