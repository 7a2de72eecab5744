// Paths and folders on Linux and other POSIX systems.
#ifndef _WIN32

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "engine/file_faults.h"
#include "engine/file_system.h"
#include "engine/pff_error.h"
#include "engine/seam_recording.h"

namespace pff {

namespace {

FileStatus StatusOf(const struct stat& st) {
  FileStatus status;
  status.Exists = true;
  status.IsRegular = S_ISREG(st.st_mode);
  status.IsDirectory = S_ISDIR(st.st_mode);
  status.IsSymlink = S_ISLNK(st.st_mode);
  status.Size = st.st_size;
  status.ModifiedSeconds = st.st_mtim.tv_sec;
  status.ModifiedNanoseconds = st.st_mtim.tv_nsec;
  status.OwnerId = st.st_uid;
  status.Permissions = st.st_mode & 07777;
  return status;
}

}  // namespace

FileStatus StatPath(const std::string& path, bool followLinks) {
  struct stat st {};
  const int rc = followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st);
  if (rc != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return {};
    ThrowSystemError(errno, path);
  }
  return StatusOf(st);
}

FileStatus DescriptorStatus(int fd, const std::string& path) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) ThrowSystemError(errno, path);
  return StatusOf(st);
}

uint32_t CurrentUserId() { return ::geteuid(); }

std::vector<std::string> FolderEntries(const std::string& folder) {
  const std::string name = folder.empty() ? std::string(".") : folder;
  DIR* dir = ::opendir(name.c_str());
  if (!dir) ThrowSystemError(errno, name);
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string item = entry->d_name;
    if (item != "." && item != "..") names.push_back(item);
  }
  ::closedir(dir);
  return names;
}

void RenameReplace(const std::string& from, const std::string& to) {
  FileFaults::Count(FileFaults::Op::Name, to);
  if (std::rename(from.c_str(), to.c_str()) != 0) ThrowSystemError(errno, to);
  NoteFolderChange(SeamOp::Kind::Rename, from, to);
}

void RemoveFile(const std::string& path) {
  FileFaults::Count(FileFaults::Op::Name, path);
  if (::unlink(path.c_str()) != 0) {
    if (errno != ENOENT) ThrowSystemError(errno, path);
    return;
  }
  NoteFolderChange(SeamOp::Kind::Unlink, path);
}

void MakeFolders(const std::string& folder) {
  for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) ThrowSystemError(errno, part);
    if (slash == std::string::npos) break;
  }
  if (!StatPath(folder).IsDirectory) ThrowSystemError(ENOTDIR, folder);
}

std::optional<std::string> UserStateFolder() {
  // A relative value is to be ignored, as the base directory rules say.
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state && state[0] == '/') return std::string(state);
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.local/state";
  return std::nullopt;
}

void SyncFolder(const std::string& folder) {
  FileFaults::ThrowIfCrashed();
  const std::string name = folder.empty() ? std::string(".") : folder;
  int fd = ::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) ThrowSystemError(errno, name);
  const int rc = ::fsync(fd);
  const int err = errno;
  ::close(fd);
  // Some file systems cannot flush a folder; the rename is then as durable as they make it.
  if (rc != 0 && err != EINVAL && err != EROFS) ThrowSystemError(err, name);
  NoteFolderChange(SeamOp::Kind::SyncFolder, name);
}

std::string ResolvedPath(const std::string& path) {
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (!resolved) return path;
  std::string result(resolved);
  std::free(resolved);
  return result;
}

std::string ParentFolder(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::optional<FileId> FileIdOf(const std::string& path, bool followLinks) {
  struct stat st {};
  const int rc = followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st);
  if (rc != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
    ThrowSystemError(errno, path);
  }
  return FileId{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

void CopyPermissions(const std::string& model, const std::string& path) {
  struct stat st {};
  if (::stat(model.c_str(), &st) != 0) ThrowSystemError(errno, model);
  if (::chmod(path.c_str(), st.st_mode & 07777) != 0) ThrowSystemError(errno, path);
}

std::optional<std::string> FileNameProblem(const std::string&) {
  // Any name without "/" is a file name here.
  return std::nullopt;
}

std::string ComparablePath(const std::string& path) {
  std::error_code ec;
  return std::filesystem::absolute(path, ec).lexically_normal().string();
}

}  // namespace pff

#endif  // _WIN32
