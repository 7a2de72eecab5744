#include "editing/add_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <limits>

#include "editing/archive_rewrite.h"
#include "editing/placement.h"
#include "engine/file_time.h"
#include "engine/name_helpers.h"
#include "engine/pff_error.h"
#include "engine/pff_format.h"
#include "engine/text_encoding.h"
#include "listing/format_value.h"

namespace pff {

namespace {

PffEntry ReadFileHeader(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) ThrowSystemError(errno, path);
  if (!S_ISREG(st.st_mode)) throw PffError(path + ": not a regular file");
  if (st.st_size > std::numeric_limits<int32_t>::max()) {
    throw PffError(path + ": files of 2 GiB or more cannot be added");
  }
  const std::optional<int32_t> fileTime = FileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
  if (!fileTime) {
    throw PffError(path + ": the modification time lies outside 1901-12-13 15:45:52 to 2038-01-18 22:14:07");
  }
  PffEntry entry;
  entry.DataSize = static_cast<int32_t>(st.st_size);
  entry.FileTime = *fileTime;
  entry.Name = MakeEntryName(Utf8ToLatin1(GetFileName(path)));
  return entry;
}

std::string ReplaceQuestion(const PffEntry& old, const PffEntry& added, const std::string& timeDate) {
  return "Are you sure you want to replace: " + DisplayName(old.Name) +
         ", Size: " + FormatFileSize(old.DataSize) +
         ", Modified On: " + FormatFileDate(old.FileTime, timeDate) + "\r\n" +
         "With This One: " + DisplayName(added.Name) + ", Size: " + FormatFileSize(added.DataSize) +
         ", Modified On: " + FormatFileDate(added.FileTime, timeDate);
}

}  // namespace

std::optional<PffEntry> GetFileHeader(const std::string& path, WindowPort& port) {
  try {
    return ReadFileHeader(path);
  } catch (const std::exception& e) {
    port.ReportError("GetFileHeader", e.what());
    return std::nullopt;
  }
}

AddResult AddFile(const std::string& path, PffArchive& archive, const EngineOptions& options,
                  WindowPort& port) {
  const std::optional<PffEntry> header = GetFileHeader(path, port);
  if (!header) return AddResult::Failed;
  const PffEntry& added = *header;

  const ArchiveSnapshot before = TakeSnapshot(archive);
  try {
    if (IsSameFile(path, archive.Path)) throw PffError(path + ": an archive cannot be added to itself");
    // Opened before the archive is touched, so an unreadable source changes nothing.
    BinaryFile source = BinaryFile::Open(path, BinaryFile::Mode::Read);

    const int match = archive.Header.EntryCount != 0 ? FindEntryByName(archive.Entries, added.Name) : 0;
    if (match != 0) {
      PffEntry& old = archive.Entry(match);
      if (!options.AlwaysOverwrite &&
          !port.AskYesNo("Warning!", ReplaceQuestion(old, added, options.TimeDate))) {
        return AddResult::Declined;
      }
      MakeDead(old);
    }

    const int placed = PlaceEntry(archive.Header, archive.Entries, added, options.ReUseDeadSpaces);
    const PffEntry target = archive.Entry(placed);
    if (source.Length() != added.DataSize)
      throw PffError(path + ": the file changed while it was being added");

    RewriteArchive(archive, before, /*writeHeader=*/true, [&](BinaryFile& file) {
      if (target.DataSize > 0) CopyBetween(source, 0, file, target.DataOffset, target.DataSize);
    });
    return AddResult::Added;
  } catch (const std::exception& e) {
    RestoreSnapshot(archive, before);
    port.ReportError("AddFile", e.what());
    return AddResult::Failed;
  }
}

void WriteDirectory(const PffArchive& archive, BinaryFile& file) {
  WriteDirectoryTo(file, archive.Header, archive.Entries);
}

}  // namespace pff
