#include "editing/archive_rewrite.h"

#include <exception>
#include <optional>
#include <string>

#include "editing/add_file.h"
#include "engine/pff_error.h"
#include "engine/pff_format.h"

namespace pff {

namespace {

// The record in memory is already back to before; make the file agree with it
// so that a half-written header or directory does not outlive the failure.
// Best effort: the file that just failed may well fail again.
void RestoreFile(const PffArchive& archive, bool writeHeader) noexcept {
  try {
    BinaryFile file = BinaryFile::Open(archive.Path, BinaryFile::Mode::ReadWrite);
    if (writeHeader) WriteHeader(file, archive.Header);
    WriteDirectory(archive, file);
    file.Close();
  } catch (...) {
  }
}

}  // namespace

ArchiveSnapshot TakeSnapshot(const PffArchive& archive) { return {archive.Header, archive.Entries}; }

void RestoreSnapshot(PffArchive& archive, const ArchiveSnapshot& before) {
  archive.Header = before.Header;
  archive.Entries = before.Entries;
}

void RewriteArchive(PffArchive& archive, const ArchiveSnapshot& before, bool writeHeader,
                    const std::function<void(BinaryFile&)>& writeData) {
  bool written = false;
  std::string failure;
  try {
    BinaryFile file = BinaryFile::Open(archive.Path, BinaryFile::Mode::ReadWrite);
    // From the first write on, a failure may leave bytes of the edit behind.
    written = true;
    if (writeHeader) WriteHeader(file, archive.Header);
    if (writeData) writeData(file);
    WriteDirectory(archive, file);
    file.Close();
    return;
  } catch (const std::exception& e) {
    failure = e.what();
  }
  RestoreSnapshot(archive, before);
  if (written) RestoreFile(archive, writeHeader);
  throw PffError(failure);
}

}  // namespace pff
