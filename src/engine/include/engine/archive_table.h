#pragma once
// The table of open archives and the routines that open, create and close them.

#include <string>
#include <vector>

#include "engine/frontend.h"
#include "engine/pff_archive.h"
#include "engine/pff_format.h"

namespace pff {

/// Open archives in the order they were opened or created, without gaps.
/// Archive i (1-based) is its identity in the whole window; closing one moves
/// the later ones down by one.
class ArchiveTable {
 public:
  int Count() const { return static_cast<int>(archives_.size()); }
  /// Whether at least one archive is open.
  bool IsLoaded() const { return !archives_.empty(); }
  /// Archive index (1-based); throws std::out_of_range for any other index.
  const PffArchive& Archive(int index) const { return archives_.at(static_cast<size_t>(index - 1)); }
  /// The same, for the editing routines that change its record.
  PffArchive& Archive(int index) { return archives_.at(static_cast<size_t>(index - 1)); }
  std::vector<PffArchive>::const_iterator begin() const { return archives_.begin(); }
  std::vector<PffArchive>::const_iterator end() const { return archives_.end(); }

  /// Appends an archive whose record is read already; returns its index.
  int Append(PffArchive archive);
  /// Removes archive index (1 to Count()); later archives move down by one.
  void Remove(int index);
  /// Closes everything.
  void Clear() { archives_.clear(); }

 private:
  std::vector<PffArchive> archives_;
};

/// What CreateArchive did.
struct Created {
  int Index = 0;      // the new archive; 0 after a failure
  int Closed = 0;     // the stale archive of that path closed first (0: none), even after a failure
  std::string Error;  // the system's description of the failure
};

/// Reads path and appends it to the table. Returns its index, or 0 after
/// reporting "Error in UpdatePff" (the table then as before).
int OpenFile(ArchiveTable& table, const std::string& path, Frontend& port);
/// Fills header and directory of archive from its file. Returns false after
/// reporting "Error in UpdatePff". An interrupted change found beside the
/// archive is undone first (the port is told); one that cannot be undone
/// fails the load.
bool UpdatePff(PffArchive& archive, Frontend& port);
/// Reads header and directory of an open archive again from its file (after
/// another program changed it). On failure the record is unchanged and
/// "Error in UpdatePff" is reported.
bool ReloadArchive(PffArchive& archive, Frontend& port);
/// Whether path names the same file as an open archive.
bool IsFileOpen(const ArchiveTable& table, const std::string& path);
/// Index of the open archive that is the same file as path, or 0.
int FindOpenArchive(const ArchiveTable& table, const std::string& path);

/// Writes an empty archive of a flavour at path (replacing any file, which
/// stays whole until the new archive takes its name) and appends it to the table. An open archive at that
/// path is closed once the file is replaced. Reports nothing: a failure comes back in Error.
Created CreateArchive(ArchiveTable& table, const std::string& path, Flavour flavour);

/// Removes archive index, later archives moving down by one. Returns false
/// after reporting "Error in CloseFile" for an index that is not open.
bool CloseFile(ArchiveTable& table, int index, Frontend& port);

}  // namespace pff
