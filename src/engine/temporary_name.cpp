#include <random>

#include "engine/binary_file.h"
#include "engine/name_helpers.h"

namespace pff {

std::string TemporaryPath(const std::string& folder, const std::string& stem) {
  static std::mt19937_64 random{std::random_device{}()};
  static const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string path = JoinPath(folder.empty() ? std::string(".") : folder, "." + stem + ".");
  for (int i = 0; i < 6; ++i) path += kAlphabet[random() % (sizeof kAlphabet - 1)];
  return path + ".tmp";
}

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
