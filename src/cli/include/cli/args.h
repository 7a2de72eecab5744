#pragma once
// A small command-line parser: options a command declares, positional
// arguments in order, and the value parsers the commands share.

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/file_time.h"

namespace pff::cli {

/// A mistake in how the tool was called; ends the command with status 2.
class UsageError : public std::runtime_error {
 public:
  explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

struct OptionSpec {
  std::string Name;  // "--type" or "-C"
  bool TakesValue = false;
};

struct ParsedArgs {
  std::map<std::string, std::vector<std::string>> Options;  // every value given, in order
  std::vector<std::string> Positionals;
  bool Help = false;

  bool Has(const std::string& name) const { return Options.count(name) != 0; }
  /// Every value given for name (empty when absent).
  std::vector<std::string> All(const std::string& name) const;
  /// The last value given for name, or nullopt.
  std::optional<std::string> Last(const std::string& name) const;
};

/// Splits args (the words after the command name) by specs. "--name=value"
/// and "--name value" both work, "--" ends the options, "--help" and "-h"
/// set Help. Throws UsageError for an unknown option or a missing value.
ParsedArgs ParseArgs(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs);

/// A whole decimal number in the signed 32-bit range, or nullopt.
std::optional<int32_t> ParseInt32(const std::string& text);
/// A date written YYYY-MM-DD at 00:00:00, or nullopt when it is no real date.
std::optional<WallClock> ParseDate(const std::string& text);

}  // namespace pff::cli
