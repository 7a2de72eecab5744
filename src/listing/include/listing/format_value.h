#pragma once
// Display texts for entry times and sizes.

#include <cstdint>
#include <string>

namespace pff {

/// How entry times are shown. Other stands for a stored setting that names
/// neither style (the window then shows the times empty, as it always has).
enum class DateStyle { Good, Bad, Other };

/// Good: "dd/mm/yy HH:MM:SS"; Bad: "mm/dd/yy hh:MM:SS AM|PM"; Other: "".
std::string FormatFileDate(int32_t fileTime, DateStyle style);
/// Kilobytes rounded half away from zero, grouped by ",", then " KB".
std::string FormatFileSize(int32_t bytes);

}  // namespace pff
