#pragma once
// Display texts for entry times and sizes.

#include <cstdint>
#include <string>

namespace pff {

/// "Good": "dd/mm/yy HH:MM:SS"; "Bad": "mm/dd/yy hh:MM:SS AM|PM"; any other style: "".
std::string FormatFileDate(int32_t fileTime, const std::string& timeDate);
/// Kilobytes rounded half away from zero, grouped by ",", then " KB".
std::string FormatFileSize(int32_t bytes);

}  // namespace pff
