#pragma once
// The one exception type inside the engine. Routines catch it at their
// boundary and report "Error in <Routine>" with its description.

#include <stdexcept>
#include <string>

namespace pff {

class PffError : public std::runtime_error {
 public:
  explicit PffError(const std::string& description) : std::runtime_error(description) {}
};

/// A long copy stopped because its front end asked it to (the user cancelled):
/// no error to report, and whatever the copy was part of is undone.
class Stopped : public std::exception {
 public:
  const char* what() const noexcept override { return "stopped"; }
};

/// Throws PffError with strerror(err), prefixed by context when given.
[[noreturn]] void ThrowSystemError(int err, const std::string& context = {});

}  // namespace pff
