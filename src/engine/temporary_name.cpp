#include "engine/binary_file.h"

namespace pff {

bool IsTemporaryName(const std::string& name, const std::string& stem) {
  const std::string prefix = "." + stem + ".";
  const std::string suffix = ".tmp";
  if (name.size() != prefix.size() + 6 + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
      name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
    return false;
  for (size_t i = prefix.size(); i < prefix.size() + 6; ++i) {
    const char c = name[i];
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

}  // namespace pff
