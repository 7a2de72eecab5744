#pragma once
// The table of open archives and the routines that open, create and close them.

#include <string>
#include <vector>

#include "engine/pff_archive.h"
#include "engine/pff_format.h"
#include "engine/window_port.h"

namespace pff {

/// Program-wide options that editing reads (the window keeps them in step with its menu).
struct EngineOptions {
  std::string TimeDate = "Good";  // "Good" or "Bad"; see FormatFileDate
  bool AlwaysOverwrite = false;
  bool ReUseDeadSpaces = true;
};

/// Open archives in the order they were opened or created, without gaps.
/// Archive i (1-based, its identity in the whole window) is OpenArchives[i - 1].
struct ArchiveTable {
  std::vector<PffArchive> OpenArchives;
  bool IsLoaded = false;    // true while at least one archive is open
  bool LoadFailed = false;  // the last UpdatePff failed

  int Count() const { return IsLoaded ? static_cast<int>(OpenArchives.size()) : 0; }
  PffArchive& Archive(int index) { return OpenArchives.at(static_cast<size_t>(index - 1)); }
  const PffArchive& Archive(int index) const { return OpenArchives.at(static_cast<size_t>(index - 1)); }
};

/// Appends a slot for path and loads it; on failure the table is as before.
/// Always ends with port.RefreshFilterList(). Returns whether the load worked.
bool OpenFile(ArchiveTable& table, const std::string& path, WindowPort& port);
/// Fills header and directory of the last slot from its file and tells the
/// port about the new archive; reports "Error in UpdatePff" on failure.
/// An interrupted change found beside the archive is undone first (the port
/// is told); one that cannot be undone fails the load.
bool UpdatePff(ArchiveTable& table, PffArchive& archive, WindowPort& port);
/// Reads header and directory of an open archive again from its file (after
/// another program changed it). On failure the record is unchanged and
/// "Error in UpdatePff" is reported.
bool ReloadArchive(PffArchive& archive, WindowPort& port);
/// Whether path names the same file as an open archive.
bool IsFileOpen(const ArchiveTable& table, const std::string& path);
/// Whether two paths name the same file on disk ("./x.pff" and "x.pff", links).
bool IsSameFile(const std::string& a, const std::string& b);
/// Index of the open archive that is the same file as path, or 0.
int FindOpenArchive(const ArchiveTable& table, const std::string& path);

/// Writes an empty archive of a flavour at path (replacing any file) and
/// appends it to the table; an open archive at that path is closed first.
/// Reports "Error in mnuNew_Click" on failure, leaving the table as before.
bool CreateArchive(ArchiveTable& table, const std::string& path, Flavour flavour, WindowPort& port);

/// Removes archive index, later archives moving down by one; rebuilds tree and close menu.
void CloseFile(ArchiveTable& table, int index, WindowPort& port);
/// Closes everything: grid emptied, tree and close menu rebuilt.
void ResetArchives(ArchiveTable& table, WindowPort& port);

}  // namespace pff
