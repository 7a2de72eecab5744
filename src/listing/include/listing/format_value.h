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
/// Kilobytes rounded half away from zero, grouped by ",", then " KB": the grid's size column.
std::string FormatFileSize(int32_t bytes);
/// A number with "," between groups of three digits: "32,701".
std::string GroupDigits(int64_t number);
/// Bytes for a person to read: "1 byte", "512 bytes", "12.0 KB", "50.2 MB" or
/// "1.5 GB", 1024 to the step; a value that would read "1024.0" is the next unit's "1.0".
std::string FormatByteSize(int64_t bytes);

}  // namespace pff
