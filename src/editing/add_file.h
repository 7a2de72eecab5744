#pragma once
// Putting disk files into an archive: new entries, replacements, dead-space re-use.

#include <optional>
#include <string>

#include "engine/archive_table.h"
#include "engine/binary_file.h"

namespace pff {

enum class AddResult { Added, Declined, Failed };

/// The new entry for a disk file: size, local modification time, name (UTF-8
/// file name made Latin-1). Reports "Error in GetFileHeader" and returns nullopt on failure.
std::optional<PffEntry> GetFileHeader(const std::string& path, WindowPort& port);

/// Adds or replaces the file at path in archive and rewrites the archive file.
/// A same-named entry (case-insensitive, all 16 bytes) is replaced after the
/// port's Yes unless options.AlwaysOverwrite. Failures are reported as
/// "Error in AddFile"; the in-memory archive is then as before the call.
AddResult AddFile(const std::string& path, PffArchive& archive, const EngineOptions& options,
                  WindowPort& port);

/// The directory and modification footer, shared by add, delete and rename.
void WriteDirectory(const PffArchive& archive, BinaryFile& file);

}  // namespace pff
