#include "engine/paths.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace pff {

// Same file on disk: asked of the file system when both exist, else compared
// as absolute, normalised paths (so "./x.pff" and "x.pff" agree, and letter
// case matters as it does on this file system).
bool IsSameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  if (fs::exists(a, ec) && fs::exists(b, ec)) {
    bool same = fs::equivalent(a, b, ec);
    if (!ec) return same;
  }
  fs::path pa = fs::absolute(a, ec).lexically_normal();
  fs::path pb = fs::absolute(b, ec).lexically_normal();
  return pa == pb;
}

}  // namespace pff
