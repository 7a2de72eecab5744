#pragma once
// Replacing a whole file so that a crash, a full disk or an I/O error leaves
// either the old file or the whole new one under its name.

#include <functional>
#include <string>

#include "engine/binary_file.h"

namespace pff {

/// Writes a new file beside target (a resolved path, not a link) through
/// write, flushes it, gives it target's permissions when target exists and
/// renames it over target. The new file is locked from the start, so that a
/// program opening it waits until it is whole and no program takes it for a
/// leftover. Returns its length. The caller
/// flushes the folder. On failure the new file is removed and target is as it was.
int64_t ReplaceFile(const std::string& target, const std::function<void(BinaryFile&)>& write);

}  // namespace pff
