// Paths and folders on Windows.
#ifdef _WIN32

#include <cerrno>
#include <cstdlib>

#include "engine/file_faults.h"
#include "engine/file_system.h"
#include "engine/name_helpers.h"
#include "engine/pff_error.h"
#include "engine/seam_recording.h"
#include "engine/windows_names.h"
#include "win32_support.h"

namespace pff {

namespace {

// Windows keeps no owner number or mode bits as Linux does; the checks that
// read them (who may have planted a journal) see the current user and a
// mode nobody else may write.
constexpr uint32_t kUserId = 0;

bool IsMissing(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME ||
         error == ERROR_BAD_NETPATH || error == ERROR_DIRECTORY;
}

FileStatus StatusOf(HANDLE handle, const std::string& path, bool followLinks) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(handle, &info)) win32::ThrowError(::GetLastError(), path);
  FileStatus status;
  status.Exists = true;
  status.IsDirectory = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  status.IsSymlink = !followLinks && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  status.IsRegular = !status.IsDirectory && !status.IsSymlink && ::GetFileType(handle) == FILE_TYPE_DISK;
  status.Size = static_cast<int64_t>((static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
  win32::UnixFromFileTime(info.ftLastWriteTime, status.ModifiedSeconds, status.ModifiedNanoseconds);
  status.OwnerId = kUserId;
  const bool readOnly = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
  status.Permissions = status.IsDirectory ? 0755 : readOnly ? 0444 : 0644;
  return status;
}

// Runs query on a handle opened for asking about path; false when nothing is there.
template <typename Query>
bool WithQueryHandle(const std::string& path, bool followLinks, Query query) {
  HANDLE handle = win32::OpenForQuery(path, followLinks);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    if (IsMissing(error)) return false;
    win32::ThrowError(error, path);
  }
  try {
    query(handle);
  } catch (...) {
    ::CloseHandle(handle);
    throw;
  }
  ::CloseHandle(handle);
  return true;
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

FileStatus StatPath(const std::string& path, bool followLinks) {
  // Asking about CON or a pipe would open the device itself.
  if (win32::NamesDevice(path)) {
    FileStatus device;
    device.Exists = true;
    return device;
  }
  FileStatus status;
  WithQueryHandle(path, followLinks, [&](HANDLE handle) { status = StatusOf(handle, path, followLinks); });
  return status;
}

FileStatus DescriptorStatus(int fd, const std::string& path) {
  return StatusOf(win32::HandleOfDescriptor(fd, path), path, true);
}

uint32_t CurrentUserId() { return kUserId; }

std::vector<std::string> FolderEntries(const std::string& folder) {
  const std::string name = folder.empty() ? std::string(".") : folder;
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileExW(win32::SystemPath(JoinPath(name, "*")).c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) win32::ThrowError(::GetLastError(), name);
  std::vector<std::string> names;
  do {
    const std::string item = win32::Utf8(found.cFileName);
    if (item != "." && item != "..") names.push_back(item);
  } while (::FindNextFileW(search, &found));
  const DWORD error = ::GetLastError();
  ::FindClose(search);
  if (error != ERROR_NO_MORE_FILES) win32::ThrowError(error, name);
  return names;
}

void RenameReplace(const std::string& from, const std::string& to) {
  FileFaults::Count(FileFaults::Op::Name, to);
  // Windows (and Wine more strictly) refuses to replace a file that is open,
  // and the archive being replaced usually is, held and locked by the change
  // itself. Its handles are closed just before the rename. In that moment
  // another program may take the lock on the old file: if it still holds the
  // file open the rename fails and the old file stays as it was; a change it
  // finished in that moment would be replaced with the old file. Linux renames
  // over an open file and has no such moment.
  if (const std::optional<FileId> target = FileIdOf(to, false)) win32::ReleaseHandlesOn(*target);
  if (!::MoveFileExW(win32::SystemPath(from).c_str(), win32::SystemPath(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    win32::ThrowError(::GetLastError(), to);
  NoteFolderChange(SeamOp::Kind::Rename, from, to);
}

void RemoveFile(const std::string& path) {
  FileFaults::Count(FileFaults::Op::Name, path);
  if (!::DeleteFileW(win32::SystemPath(path).c_str())) {
    const DWORD error = ::GetLastError();
    if (!IsMissing(error)) win32::ThrowError(error, path);
    return;
  }
  NoteFolderChange(SeamOp::Kind::Unlink, path);
}

void MakeFolders(const std::string& folder) {
  // Folders made here inherit the user's access rules from where they are made.
  for (size_t at = folder.find_first_of("/\\", 3);; at = folder.find_first_of("/\\", at + 1)) {
    const std::string part = folder.substr(0, at);
    if (!::CreateDirectoryW(win32::SystemPath(part).c_str(), nullptr)) {
      const DWORD error = ::GetLastError();
      if (error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED) win32::ThrowError(error, part);
    }
    if (at == std::string::npos) break;
  }
  if (!StatPath(folder).IsDirectory) win32::ThrowError(ERROR_PATH_NOT_FOUND, folder);
}

std::optional<std::string> UserStateFolder() {
  const wchar_t* local = ::_wgetenv(L"LOCALAPPDATA");
  if (local && local[0] != L'\0') return win32::Utf8(local);
  return std::nullopt;
}

void SyncFolder(const std::string& folder) {
  FileFaults::ThrowIfCrashed();
  // Windows cannot flush a folder; its file system journals names itself and
  // a rename is written through before MoveFileExW returns.
  NoteFolderChange(SeamOp::Kind::SyncFolder, folder.empty() ? std::string(".") : folder);
}

std::string ResolvedPath(const std::string& path) {
  if (win32::NamesDevice(path)) return path;
  std::wstring resolved;
  try {
    const bool found = WithQueryHandle(path, true, [&](HANDLE handle) {
      const DWORD n = ::GetFinalPathNameByHandleW(handle, nullptr, 0, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
      if (n == 0) return;
      resolved.assign(n, L'\0');
      const DWORD got =
          ::GetFinalPathNameByHandleW(handle, resolved.data(), n, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
      resolved.resize(got < n ? got : 0);
    });
    if (!found || resolved.empty()) return path;
  } catch (const PffError&) {
    return path;
  }
  // The answer always carries the long-path prefix; people and messages know the plain form.
  if (resolved.compare(0, 8, L"\\\\?\\UNC\\") == 0) return "\\\\" + win32::Utf8(resolved.substr(8));
  if (resolved.compare(0, 4, L"\\\\?\\") == 0) return win32::Utf8(resolved.substr(4));
  return win32::Utf8(resolved);
}

std::string ParentFolder(const std::string& path) {
  // "C:name" and "C:\name" keep their drive: the folder is "C:" and "C:\".
  const size_t drive = path.size() >= 2 && path[1] == ':' ? 2 : 0;
  const size_t slash = path.find_last_of("/\\");
  if (slash == std::string::npos || slash < drive) return drive ? path.substr(0, 2) : ".";
  size_t end = slash;
  while (end > drive && IsSeparator(path[end - 1])) --end;
  if (end == drive) return path.substr(0, drive + 1);
  return path.substr(0, end);
}

std::optional<FileId> FileIdOf(const std::string& path, bool followLinks) {
  if (win32::NamesDevice(path)) return std::nullopt;
  FileId id;
  if (!WithQueryHandle(path, followLinks, [&](HANDLE handle) { id = win32::IdOf(handle, path); }))
    return std::nullopt;
  return id;
}

void CopyPermissions(const std::string&, const std::string&) {
  // A file made in a folder takes its access rules from the folder, as the
  // file it replaces did; there are no mode bits to carry over.
}

std::optional<std::string> FileNameProblem(const std::string& name) { return WindowsNameProblem(name); }

std::string ComparablePath(const std::string& path) {
  const std::wstring wide = win32::Wide(path);
  const DWORD n = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  std::wstring full(n, L'\0');
  const DWORD got = n ? ::GetFullPathNameW(wide.c_str(), n, full.data(), nullptr) : 0;
  full.resize(got < n ? got : 0);
  if (full.empty()) full = wide;
  // Letter case does not tell files apart here.
  ::CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
  return win32::Utf8(full);
}

}  // namespace pff

#endif  // _WIN32
