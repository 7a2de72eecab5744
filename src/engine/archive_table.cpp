#include "engine/archive_table.h"

#include <filesystem>
#include <system_error>

#include "engine/binary_file.h"
#include "engine/file_system.h"
#include "engine/journal.h"
#include "engine/name_helpers.h"
#include "engine/pff_error.h"

namespace fs = std::filesystem;

namespace pff {

namespace {

// Opening waits only briefly for a program that is changing the archive: it
// then reads the file as it is and leaves that program's journal alone.
constexpr int kOpenLockWaitMs = 300;

// Undoes an interrupted change before the archive is read, and says so once.
void RecoverBeforeReading(const std::string& path, WindowPort& port) {
  if (RecoverArchive(path, kOpenLockWaitMs) == Recovery::Undone)
    port.Notify(path + ": an interrupted change was undone");
}

}  // namespace

bool OpenFile(ArchiveTable& table, const std::string& path, WindowPort& port) {
  if (!table.IsLoaded) table.OpenArchives.clear();
  table.OpenArchives.push_back(PffArchive{path, {}, {}});
  table.LoadFailed = false;
  UpdatePff(table, table.OpenArchives.back(), port);
  if (table.LoadFailed) table.OpenArchives.pop_back();
  port.RefreshFilterList();
  return !table.LoadFailed;
}

bool UpdatePff(ArchiveTable& table, PffArchive& archive, WindowPort& port) {
  try {
    RecoverBeforeReading(archive.Path, port);
    BinaryFile file = BinaryFile::Open(archive.Path, BinaryFile::Mode::Read);
    ReadArchive(file, archive.Header, archive.Entries);
    file.Close();
  } catch (const PffError& e) {
    table.LoadFailed = true;
    port.ReportError("UpdatePff", e.what());
    return false;
  }
  table.IsLoaded = true;
  port.ArchiveLoaded(static_cast<int>(table.OpenArchives.size()), GetFileName(archive.Path));
  return true;
}

bool ReloadArchive(PffArchive& archive, WindowPort& port) {
  try {
    RecoverBeforeReading(archive.Path, port);
    BinaryFile file = BinaryFile::Open(archive.Path, BinaryFile::Mode::Read);
    PffHeader header;
    std::vector<PffEntry> entries;
    ReadArchive(file, header, entries);
    file.Close();
    archive.Header = header;
    archive.Entries = std::move(entries);
    return true;
  } catch (const PffError& e) {
    port.ReportError("UpdatePff", e.what());
    return false;
  }
}

// Same file on disk: asked of the file system when both exist, else compared
// as absolute, normalised paths (so "./x.pff" and "x.pff" agree, and letter
// case matters as it does on this file system).
bool IsSameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  if (fs::exists(a, ec) && fs::exists(b, ec)) {
    bool same = fs::equivalent(a, b, ec);
    if (!ec) return same;
  }
  fs::path pa = fs::absolute(a, ec).lexically_normal();
  fs::path pb = fs::absolute(b, ec).lexically_normal();
  return pa == pb;
}

int FindOpenArchive(const ArchiveTable& table, const std::string& path) {
  for (int i = 1; i <= table.Count(); ++i)
    if (IsSameFile(table.Archive(i).Path, path)) return i;
  return 0;
}

bool IsFileOpen(const ArchiveTable& table, const std::string& path) {
  return FindOpenArchive(table, path) != 0;
}

bool CreateArchive(ArchiveTable& table, const std::string& path, Flavour flavour, WindowPort& port) {
  try {
    // A journal left by a change of the file being replaced must not be
    // "undone" into the new archive at its next open.
    if (StatPath(JournalPath(path), false).Exists) {
      RemoveFile(JournalPath(path));
      SyncFolder(ParentFolder(path));
    }
    BinaryFile file = BinaryFile::Open(path, BinaryFile::Mode::Create);
    // The file is replaced now: a slot still holding its old directory must
    // go, or a later edit would write that directory into the new file.
    if (int stale = FindOpenArchive(table, path)) CloseFile(table, stale, port);
    std::vector<uint8_t> bytes = NewArchiveBytes(flavour);
    file.WriteAt(0, bytes.data(), bytes.size());
    file.Close();
  } catch (const PffError& e) {
    port.ReportError("mnuNew_Click", e.what());
    return false;
  }
  if (!table.IsLoaded) table.OpenArchives.clear();
  table.OpenArchives.push_back(PffArchive{path, NewHeader(flavour), {}});
  table.IsLoaded = true;
  port.RefreshFileList();
  return true;
}

void CloseFile(ArchiveTable& table, int index, WindowPort& port) {
  if (index < 1 || index > table.Count()) {
    port.ReportError("CloseFile", "There is no open archive number " + std::to_string(index) + ".");
    return;
  }
  if (table.Count() == 1) {
    ResetArchives(table, port);
    return;
  }
  table.OpenArchives.erase(table.OpenArchives.begin() + (index - 1));
  port.RefreshFileList();
}

void ResetArchives(ArchiveTable& table, WindowPort& port) {
  table.IsLoaded = false;
  table.OpenArchives.clear();
  port.RefreshList();
  port.RefreshFileList();
}

}  // namespace pff
