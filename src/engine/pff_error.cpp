#include "engine/pff_error.h"

#include <cstring>

namespace pff {

void ThrowSystemError(int err, const std::string& context) {
  std::string text = std::strerror(err);
  throw PffError(context.empty() ? text : context + ": " + text);
}

}  // namespace pff
