#include "editing/extract_file.h"

#include <exception>

#include "editing/archive_transaction.h"
#include "engine/file_time.h"
#include "engine/name_helpers.h"
#include "engine/pff_error.h"

namespace pff {

namespace {

constexpr const char* kScratchFileName = "Tav_Oskin.Tav";

std::string Quoted(const PffEntry& entry) { return "\"" + DisplayName(entry.Name) + "\""; }

}  // namespace

Extraction::Extraction(const PffArchive& archive, const std::string& folder, Frontend& port)
    : archive_(archive), folder_(folder), port_(port) {
  try {
    if (folder.empty()) throw PffError("No folder was given to extract into.");
    const FileStatus status = StatPath(folder);
    if (!status.IsDirectory) throw PffError(folder + " is not a folder.");
    source_.emplace(BinaryFile::Open(archive.Path, BinaryFile::Mode::Read));
    // Offsets from a directory another program has since rewritten would copy
    // the wrong bytes under the entries' names.
    if (!FileMatchesRecord(*source_, archive)) {
      throw PffError(archive.Path +
                     " was changed by another program since it was read; nothing was extracted.");
    }
    sourceLength_ = source_->Length();
    archiveId_ = FileIdOf(archive.Path);
    // Only a target in the archive's own folder can be the archive; asking the
    // file system about every target would cost a call per entry.
    const std::string archiveFile = ResolvedPath(archive.Path);
    archiveFolderHere_ = FileIdOf(folder) == FileIdOf(ParentFolder(archiveFile)) ||
                         FileIdOf(folder) == FileIdOf(ParentFolder(archive.Path));
    ready_ = true;
  } catch (const std::exception& e) {
    port_.ReportError(Routine::ExtractEntry, e.what());
  }
}

std::optional<std::string> Extraction::Extract(int index) {
  stopped_ = false;
  if (!ready_) return std::nullopt;
  std::optional<BinaryFile> out;
  try {
    if (!archive_.HasEntry(index)) throw PffError(NoSuchEntry(archive_, index));
    const PffEntry& entry = archive_.Entry(index);
    const std::optional<std::string> name = EntryFileName(entry);
    if (!name) throw PffError("The entry name " + Quoted(entry) + " cannot be used as a file name.");
    if (const std::optional<std::string> problem = FileNameProblem(*name))
      throw PffError("The entry name " + Quoted(entry) + " cannot be used as a file name: " + *problem + ".");
    if (entry.DataOffset < 0 || entry.DataSize < 0) {
      throw PffError("The entry " + Quoted(entry) + " has a negative data offset or size.");
    }
    if (int64_t{entry.DataOffset} + entry.DataSize > sourceLength_) {
      throw PffError("The data of " + Quoted(entry) + " runs past the end of " + archive_.Path + ".");
    }
    const std::string target = JoinPath(folder_, *name);
    // Only the name itself counts: a link there is replaced, so where it points is safe.
    if (archiveFolderHere_ && archiveId_ && FileIdOf(target, false) == archiveId_) {
      throw PffError(target + ": extracting " + Quoted(entry) + " would overwrite the archive itself.");
    }
    out.emplace(BinaryFile::CreateTemporary(folder_, *name));
    CopyBetween(*source_, entry.DataOffset, *out, 0, entry.DataSize,
                [this](int64_t copied) { return port_.KeepGoing(copied); });
    if (const std::optional<int64_t> time = UnixFromFileTime(entry.FileTime)) out->SetModifiedTime(*time);
    // Renamed while still open and locked: a program clearing leftovers
    // takes a temporary file whose lock is free for one of a dead writer.
    RenameReplace(out->Path(), target);
    out->Close();
    return target;
  } catch (const std::exception& e) {
    if (out) {
      try {
        RemoveFile(out->Path());
      } catch (const std::exception&) {
        // The failure being reported matters more than the leftover temporary.
      }
    }
    // Stopped by the user: no partial file, nothing to report.
    stopped_ = dynamic_cast<const Stopped*>(&e) != nullptr;
    if (!stopped_) port_.ReportError(Routine::ExtractEntry, e.what());
    return std::nullopt;
  }
}

std::optional<std::string> ExtractFile(const PffArchive& archive, int index, const std::string& folder,
                                       Frontend& port) {
  Extraction extraction(archive, folder, port);
  return extraction.Extract(index);
}

bool CanWriteFolder(const std::string& folder) {
  if (folder.empty()) return false;
  try {
    BinaryFile file = BinaryFile::Open(JoinPath(folder, kScratchFileName), BinaryFile::Mode::ReadWrite);
    file.Close();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace pff
