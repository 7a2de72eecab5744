#include "editing/extract_file.h"

#include <algorithm>
#include <exception>

#include "editing/archive_transaction.h"
#include "engine/entry_region.h"
#include "engine/file_time.h"
#include "engine/name_helpers.h"
#include "engine/pending_file.h"
#include "engine/pff_error.h"

namespace pff {

namespace {

constexpr const char* kScratchFileName = "Tav_Oskin.Tav";
// Entries up to this size are copied through the read-ahead buffer, larger
// ones straight from file to file; the buffer grows to at most kReadAhead.
constexpr int64_t kBufferedEntry = 64 << 10;
constexpr int64_t kReadAhead = 1 << 20;

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
  try {
    if (!archive_.HasEntry(index)) throw PffError(NoSuchEntry(archive_, index));
    const PffEntry& entry = archive_.Entry(index);
    const std::optional<std::string> name = EntryFileName(entry);
    if (!name) throw PffError("The entry name " + Quoted(entry) + " cannot be used as a file name.");
    if (const std::optional<std::string> problem = FileNameProblem(*name))
      throw PffError("The entry name " + Quoted(entry) + " cannot be used as a file name: " + *problem + ".");
    RequireEntryRegion(entry, archive_.Header, sourceLength_);
    // Once one file was in the way, the next ones probably are too.
    PendingFile out(folder_, *name, replacing_);
    CopyOut(entry, out.File());
    if (const std::optional<int64_t> time = UnixFromFileTime(entry.FileTime))
      out.File().SetModifiedTime(*time);
    PendingFile::ReplaceCheck sparingTheArchive;
    // Only the name itself counts: a link there is replaced, so where it points is safe.
    if (archiveFolderHere_ && archiveId_) {
      sparingTheArchive = [&](const std::string& target) {
        if (FileIdOf(target, false) == archiveId_)
          throw PffError(target + ": extracting " + Quoted(entry) + " would overwrite the archive itself.");
      };
    }
    if (out.Name(sparingTheArchive)) replacing_ = true;
    return out.Target();
  } catch (const std::exception& e) {
    // Stopped by the user: no partial file, nothing to report.
    stopped_ = dynamic_cast<const Stopped*>(&e) != nullptr;
    if (!stopped_) port_.ReportError(Routine::ExtractEntry, e.what());
    return std::nullopt;
  }
}

void Extraction::CopyOut(const PffEntry& entry, BinaryFile& out) {
  const int64_t offset = entry.DataOffset, size = entry.DataSize;
  if (size == 0) return;
  if (size > kBufferedEntry) {
    CopyBetween(*source_, offset, out, 0, size, [this](int64_t copied) { return port_.KeepGoing(copied); });
    return;
  }
  const int64_t bufferEnd = bufferStart_ + static_cast<int64_t>(buffer_.size());
  if (offset < bufferStart_ || offset + size > bufferEnd) {
    // Entries stored one after another are read a growing stretch at a time;
    // entries taken out of order, one read each, as large as the entry.
    const bool following = offset >= bufferStart_ && offset <= bufferEnd;
    const int64_t ahead =
        following ? std::min<int64_t>(2 * static_cast<int64_t>(buffer_.size()), kReadAhead) : 0;
    const int64_t want = std::min(std::max(size, ahead), sourceLength_ - offset);
    buffer_.resize(static_cast<size_t>(want));
    const size_t got = source_->ReadAt(offset, buffer_.data(), buffer_.size());
    buffer_.resize(got);
    bufferStart_ = offset;
    if (static_cast<int64_t>(got) < size) throw PffError(archive_.Path + ": unexpected end of file");
  }
  out.WriteAt(0, buffer_.data() + (offset - bufferStart_), static_cast<size_t>(size));
  if (!port_.KeepGoing(size)) throw Stopped();
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
