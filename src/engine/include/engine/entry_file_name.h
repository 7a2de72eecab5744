#pragma once
// The disk file name an entry is extracted under; shared by extraction and the
// archive check, which warns about names that cannot be extracted.

#include <optional>
#include <string>

#include "engine/pff_archive.h"

namespace pff {

/// The disk file name (UTF-8) of an entry, or nullopt when the name cannot be
/// a plain file name: empty, ".", "..", or holding "/" or "\".
std::optional<std::string> EntryFileName(const PffEntry& entry);

}  // namespace pff
