#pragma once
// Turning entries into dead space and renaming them.

#include <string>
#include <vector>

#include "engine/archive_table.h"

namespace pff {

/// Entry index becomes dead space; the directory is rewritten.
/// Reports "Error in DeleteFile" and restores memory on failure.
bool DeleteFile(PffArchive& archive, int index, WindowPort& port);
/// The same for many entries with a single directory rewrite.
bool DeleteFiles(PffArchive& archive, const std::vector<int>& indices, WindowPort& port);

/// Entry index gets newName (Latin-1, at most 16 bytes) and becomes live.
/// Reports "Error in RenameFile" and restores memory on failure.
bool RenameFile(PffArchive& archive, int index, const std::string& newName, WindowPort& port);

enum class RenameCheck { Empty, TooLong, Used, Ok };
/// The checks before a rename: empty, longer than 16, or in use (any entry, case-insensitive).
RenameCheck CheckNewName(const PffArchive& archive, const std::string& newName);
/// The message for TooLong or Used, with answer (UTF-8) quoted; empty otherwise.
std::string RenameCheckMessage(RenameCheck check, const std::string& answer);

}  // namespace pff
