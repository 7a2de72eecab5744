// Names for files that are not whole yet: none at all where the system
// allows (Linux creates such files with O_TMPFILE and names them with linkat;
// elsewhere CreateUnnamed answers nullopt), else a temporary one.

#include <atomic>
#include <cerrno>
#include <string>

#include "engine/binary_file.h"
#include "engine/pff_error.h"
#include "engine/seam_recording.h"

#ifdef __linux__
#include <fcntl.h>
#include <unistd.h>
#endif

namespace pff {

#ifdef __linux__

namespace {

// Naming a descriptor directly needs a kernel of 2024 or later (or
// privilege); older ones take it through /proc. Once refused, always refused.
std::atomic<bool> emptyPathRefused{false};

}  // namespace

std::optional<BinaryFile> BinaryFile::CreateUnnamed(const std::string& path) {
  // A recording follows files by the names they were created under.
  if (SeamRecording::Active()) return std::nullopt;
  // Without /proc an older kernel could create the file but never name it.
  static const bool canName = ::access("/proc/self/fd", F_OK) == 0;
  if (!canName) return std::nullopt;
  const std::string folder = ParentFolder(path);
  FileFaults::Count(FileFaults::Op::Open, folder);
  const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
  if (fd >= 0) return BinaryFile(fd, path);
  // A file system without unnamed files, or a kernel that reads the flag as "open the folder".
  if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) return std::nullopt;
  ThrowSystemError(errno, folder);
}

bool BinaryFile::LinkAs(const std::string& path) {
  FileFaults::Count(FileFaults::Op::Name, path);
  if (!emptyPathRefused) {
    if (::linkat(fd_, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0) return true;
    if (errno == EEXIST) return false;
    if (errno != ENOENT && errno != EPERM) ThrowSystemError(errno, path);
    emptyPathRefused = true;
  }
  const std::string self = "/proc/self/fd/" + std::to_string(fd_);
  if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
  if (errno == EEXIST) return false;
  ThrowSystemError(errno, path);
}

#else

std::optional<BinaryFile> BinaryFile::CreateUnnamed(const std::string&) { return std::nullopt; }

bool BinaryFile::LinkAs(const std::string& path) {
  throw PffError(path + ": files without a name are not made here");
}

#endif

}  // namespace pff
