#pragma once
// Questions about paths that name files on disk.

#include <string>

namespace pff {

/// Whether two paths name the same file on disk ("./x.pff" and "x.pff", links).
bool IsSameFile(const std::string& a, const std::string& b);

}  // namespace pff
