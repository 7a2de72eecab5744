#pragma once
// The options that narrow a listing of entries (--type, --exclude-type,
// --name, --min-size, --max-size, --from, --to), shared by "pff list" and
// "pff extract".

#include <vector>

#include "cli/args.h"
#include "listing/filter.h"

namespace pff::cli {

/// A command's own options followed by the filter options.
std::vector<OptionSpec> WithFilterOptions(std::vector<OptionSpec> own);
/// The filter the options given ask for; Active only when one was given.
/// Throws UsageError for a size or date that cannot be read.
FilterSettings BuildFilter(const ParsedArgs& args);

}  // namespace pff::cli
