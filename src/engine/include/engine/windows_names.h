#pragma once
// The file names Windows cannot hold. A plain rule, so that it is tested on
// every system; the Windows file seam applies it before writing a name.

#include <optional>
#include <string>

namespace pff {

/// Why Windows cannot hold name (one UTF-8 file name, no folder) as a file
/// name, as a sentence part ("Windows does not allow \":\" in file names"),
/// or nullopt when it can.
std::optional<std::string> WindowsNameProblem(const std::string& name);
/// Whether name is one of the devices Windows reserves in every folder (CON,
/// PRN, AUX, NUL, COM1-9, LPT1-9), with or without an extension, any letter case.
bool IsWindowsDeviceName(const std::string& name);

}  // namespace pff
