#include "editing/extract_file.h"

#include <exception>
#include <filesystem>

#include "engine/binary_file.h"
#include "engine/name_helpers.h"
#include "engine/pff_error.h"
#include "engine/text_encoding.h"

namespace pff {

namespace {

constexpr const char* kScratchFileName = "Tav_Oskin.Tav";

void RemoveQuietly(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
}

std::string Quoted(const PffEntry& entry) { return "\"" + DisplayName(entry.Name) + "\""; }

}  // namespace

std::optional<std::string> EntryFileName(const PffEntry& entry) {
  const std::string name = StripNulls(NameBytes(entry.Name));
  // A name that is not one plain component would write outside the chosen folder.
  if (name.empty() || name == "." || name == ".." || name.find_first_of("/\\") != std::string::npos) {
    return std::nullopt;
  }
  return Latin1ToUtf8(name);
}

std::optional<std::string> ExtractFile(const PffArchive& archive, int index, const std::string& folder,
                                       WindowPort& port) {
  std::string target;
  bool created = false;
  try {
    if (!archive.HasEntry(index)) throw PffError(NoSuchEntry(archive, index));
    const PffEntry& entry = archive.Entry(index);
    const std::optional<std::string> name = EntryFileName(entry);
    if (!name) throw PffError("The entry name " + Quoted(entry) + " cannot be used as a file name.");
    if (folder.empty()) throw PffError("No folder was given to extract " + Quoted(entry) + " into.");
    if (entry.DataOffset < 0 || entry.DataSize < 0) {
      throw PffError("The entry " + Quoted(entry) + " has a negative data offset or size.");
    }
    target = JoinPath(folder, *name);
    if (IsSameFile(target, archive.Path)) {
      throw PffError(target + ": extracting " + Quoted(entry) + " would overwrite the archive itself.");
    }

    BinaryFile source = BinaryFile::Open(archive.Path, BinaryFile::Mode::Read);
    if (int64_t{entry.DataOffset} + entry.DataSize > source.Length()) {
      throw PffError("The data of " + Quoted(entry) + " runs past the end of " + archive.Path + ".");
    }
    BinaryFile out = BinaryFile::Open(target, BinaryFile::Mode::Create);
    created = true;
    CopyBetween(source, entry.DataOffset, out, 0, entry.DataSize);
    out.Close();
    return target;
  } catch (const std::exception& e) {
    // A partial copy would pass for the entry; the old file was emptied by the open anyway.
    if (created) RemoveQuietly(target);
    port.ReportError("ExtractFile", e.what());
    return std::nullopt;
  }
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
