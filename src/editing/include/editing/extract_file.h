#pragma once
// Copying entries out of an archive into disk files.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/archive_table.h"
#include "engine/binary_file.h"
#include "engine/entry_file_name.h"
#include "engine/file_system.h"

namespace pff {

/// Extraction of many entries of one archive into one folder: the archive is
/// opened once and the folder examined once, however many entries follow, and
/// small entries stored one after another are read in large stretches. Each
/// file appears under its name only when whole (a link at the target is
/// replaced, never followed), with the entry's stored time.
class Extraction {
 public:
  /// Opens the archive; reports "Error in ExtractFile" when it cannot be read
  /// or folder is no folder, and every later Extract then fails.
  Extraction(const PffArchive& archive, const std::string& folder, Frontend& port);
  bool IsReady() const { return ready_; }
  /// Writes entry index into the folder; the path written, or nullopt after
  /// reporting "Error in ExtractFile" (nothing is left under the target name).
  std::optional<std::string> Extract(int index);
  /// Whether the last Extract was stopped by the port (KeepGoing said no).
  bool WasStopped() const { return stopped_; }

 private:
  // Copies the entry's data into out, small entries through buffer_.
  void CopyOut(const PffEntry& entry, BinaryFile& out);

  const PffArchive& archive_;
  std::string folder_;
  Frontend& port_;
  std::optional<BinaryFile> source_;
  int64_t sourceLength_ = 0;
  std::optional<FileId> archiveId_;
  bool archiveFolderHere_ = false;  // the folder extracted into holds the archive
  bool ready_ = false;
  bool stopped_ = false;
  bool replacing_ = false;       // a file was in the way of an earlier entry
  std::vector<uint8_t> buffer_;  // the archive's bytes from bufferStart_ on
  int64_t bufferStart_ = 0;
};

/// Writes entry index of archive into folder under its own name, leaving the
/// file holding exactly the entry's bytes. Returns the path written, or nullopt
/// after reporting "Error in ExtractFile".
std::optional<std::string> ExtractFile(const PffArchive& archive, int index, const std::string& folder,
                                       Frontend& port);

/// Whether the scratch file "Tav_Oskin.Tav" can be opened (created) in folder.
bool CanWriteFolder(const std::string& folder);

}  // namespace pff
