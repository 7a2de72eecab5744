#include "engine/windows_names.h"

#include <cstring>

#include "engine/name_helpers.h"

namespace pff {

bool IsWindowsDeviceName(const std::string& name) {
  // "con.txt" and "CON .log" open the console as well: only the part before the
  // first dot counts, spaces at its end dropped.
  std::string stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  stem = UpperLatin1(stem);
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return true;
  return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
         stem[3] >= '1' && stem[3] <= '9';
}

std::optional<std::string> WindowsNameProblem(const std::string& name) {
  for (char c : name) {
    // A ":" would write into a hidden stream of another file rather than a file of its own.
    if (c != '\0' && std::strchr("<>:\"|?*", c)) {
      return std::string("Windows does not allow \"") + c + "\" in file names";
    }
    if (static_cast<unsigned char>(c) < 0x20)
      return std::string("Windows does not allow control characters in file names");
  }
  // Windows drops a trailing dot or space, so the file would get another name.
  if (!name.empty() && name.back() == '.')
    return std::string("Windows does not allow a file name ending in a dot");
  if (!name.empty() && name.back() == ' ')
    return std::string("Windows does not allow a file name ending in a space");
  if (IsWindowsDeviceName(name)) return "\"" + name + "\" is a device name on Windows";
  return std::nullopt;
}

}  // namespace pff
