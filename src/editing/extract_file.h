#pragma once
// Copying entries out of an archive into disk files.

#include <optional>
#include <string>

#include "engine/archive_table.h"

namespace pff {

/// The disk file name (UTF-8) of an entry, or nullopt when the name cannot be
/// a plain file name: empty, ".", "..", or holding "/" or "\".
std::optional<std::string> EntryFileName(const PffEntry& entry);

/// Writes entry index of archive into folder under its own name, leaving the
/// file holding exactly the entry's bytes. Returns the path written, or nullopt
/// after reporting "Error in ExtractFile".
std::optional<std::string> ExtractFile(const PffArchive& archive, int index, const std::string& folder,
                                       WindowPort& port);

/// Whether the scratch file "Tav_Oskin.Tav" can be opened (created) in folder.
bool CanWriteFolder(const std::string& folder);

}  // namespace pff
