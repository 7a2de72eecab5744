#pragma once
// Making the undo step of a change as it commits (editing/undo.h).

#include <cstdint>
#include <string>

#include "editing/undo.h"
#include "engine/binary_file.h"

namespace pff {

/// Keeps the step of a change of archivePath that is written and flushed but
/// not yet committed: its journal holds every byte it overwrote, archive
/// (open, locked) what it wrote. A step larger than the history may hold
/// leaves none, and the older ones are dropped. Throws PffError.
void KeepUndoStep(const std::string& archivePath, BinaryFile& archive, const ChangeLabel& label, int64_t oldLength);

}  // namespace pff
