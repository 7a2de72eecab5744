#pragma once
// Turning entries into dead space and renaming them.

#include <string>
#include <vector>

#include "engine/archive_table.h"

namespace pff {

/// The entries become dead space in a single directory rewrite; a bad index is
/// skipped. Reports "Error in DeleteFile" (memory restored on a failed write); false then.
bool DeleteFiles(PffArchive& archive, const std::vector<int>& indices, Frontend& port);

/// Entry index gets newName (Latin-1, at most 16 bytes) and becomes live.
/// Reports "Error in RenameFile" and restores memory on failure.
bool RenameFile(PffArchive& archive, int index, const std::string& newName, Frontend& port);

enum class RenameCheck { Empty, TooLong, Used, Ok };
/// The checks before a rename: empty, longer than 16, or in use (any entry, case-insensitive).
RenameCheck CheckNewName(const PffArchive& archive, const std::string& newName);
/// The message for TooLong or Used, with answer (UTF-8) quoted; empty otherwise.
std::string RenameCheckMessage(RenameCheck check, const std::string& answer);

}  // namespace pff
