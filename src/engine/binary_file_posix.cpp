// The file seam on Linux and other POSIX systems.
#ifndef _WIN32

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>
#include <utility>
#include <vector>

#include "engine/binary_file.h"
#include "engine/pff_error.h"
#include "engine/seam_recording.h"

namespace pff {

namespace {

constexpr size_t kChunk = 1 << 20;
constexpr int64_t kWritebackStep = int64_t{8} << 20;

// Asks the kernel to start writing a range to disk now, without waiting:
// the disk then works while the copy goes on, and the flush at the end of a
// change finds little left to do. Only a hint; file systems may refuse it.
void StartWriteback(int fd, int64_t offset, int64_t length) {
  ::sync_file_range(fd, offset, length, SYNC_FILE_RANGE_WRITE);
}

}  // namespace

BinaryFile BinaryFile::Open(const std::string& path, Mode mode, bool followLinks) {
  FileFaults::Count(FileFaults::Op::Open, path);
  int flags = O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW);
  switch (mode) {
    case Mode::Read:
      flags |= O_RDONLY;
      break;
    case Mode::ReadWrite:
      flags |= O_RDWR | O_CREAT;
      break;
    case Mode::Create:
      flags |= O_RDWR | O_CREAT | O_TRUNC;
      break;
    case Mode::Update:
      flags |= O_RDWR;
      break;
    case Mode::CreateNew:
      flags |= O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW;
      break;
  }
  const bool recordCreation = SeamRecording::Active() && (flags & O_CREAT) && !StatPath(path).Exists;
  // O_NONBLOCK keeps a FIFO from waiting for a writer; it is refused below anyway.
  // A journal holds the archive's bytes for whoever may read the archive, but
  // nobody else may change it.
  int fd = ::open(path.c_str(), flags | O_NONBLOCK, mode == Mode::CreateNew ? 0644 : 0666);
  if (fd < 0) ThrowSystemError(errno, path);
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int err = errno;
    ::close(fd);
    ThrowSystemError(err, path);
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    if (S_ISDIR(st.st_mode)) ThrowSystemError(EISDIR, path);
    throw PffError(path + ": not a regular file");
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  BinaryFile file(fd, path);
  if (SeamRecording::Active()) NoteOpened(path, file.Inode(), recordCreation, mode == Mode::Create);
  return file;
}

BinaryFile BinaryFile::CreateTemporary(const std::string& folder, const std::string& stem) {
  FileFaults::Count(FileFaults::Op::Open, folder);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = TemporaryPath(folder, stem);
    int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno != EEXIST) ThrowSystemError(errno, name);
      continue;
    }
    // Between the creation and the lock, a program clearing leftovers may
    // take the lock first; it then removes the file, and another name is tried.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      continue;
    }
    BinaryFile file(fd, name);
    if (SeamRecording::Active()) NoteFileName(SeamOp::Kind::Create, name, file.Inode());
    return file;
  }
  ThrowSystemError(EEXIST, folder);
}

BinaryFile::BinaryFile(BinaryFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

BinaryFile& BinaryFile::operator=(BinaryFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
  }
  return *this;
}

BinaryFile::~BinaryFile() {
  if (fd_ >= 0) ::close(fd_);
}

int64_t BinaryFile::Length() const {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) ThrowSystemError(errno, path_);
  return st.st_size;
}

FileStatus BinaryFile::Status() const { return DescriptorStatus(fd_, path_); }

uint64_t BinaryFile::Inode() const { return Id().Inode; }

FileId BinaryFile::Id() const {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) ThrowSystemError(errno, path_);
  return FileId{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

size_t BinaryFile::ReadAt(int64_t offset, void* buffer, size_t n) {
  FileFaults::Count(FileFaults::Op::Read, path_);
  if (offset < 0) ThrowSystemError(EINVAL, path_);
  size_t done = 0;
  auto* out = static_cast<char*>(buffer);
  while (done < n) {
    ssize_t got =
        ::pread(fd_, out + done, FileFaults::Transfer(n - done), offset + static_cast<int64_t>(done));
    if (got < 0) {
      if (errno == EINTR) continue;
      ThrowSystemError(errno, path_);
    }
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

void BinaryFile::ReadExactAt(int64_t offset, void* buffer, size_t n) {
  if (ReadAt(offset, buffer, n) != n) throw PffError(path_ + ": unexpected end of file");
}

void BinaryFile::WriteAt(int64_t offset, const void* buffer, size_t n) {
  FileFaults::Count(FileFaults::Op::Write, path_);
  if (offset < 0) ThrowSystemError(EINVAL, path_);
  size_t done = 0;
  const auto* in = static_cast<const char*>(buffer);
  while (done < n) {
    ssize_t put =
        ::pwrite(fd_, in + done, FileFaults::Transfer(n - done), offset + static_cast<int64_t>(done));
    if (put < 0) {
      if (errno == EINTR) continue;
      ThrowSystemError(errno, path_);
    }
    done += static_cast<size_t>(put);
  }
  if (SeamRecording::Active()) NoteFileChange(SeamOp::Kind::Write, Inode(), offset, {in, in + n});
  FileFaults::CountWritten();
}

void BinaryFile::Sync() {
  FileFaults::ThrowIfCrashed();
  if (::fdatasync(fd_) != 0) ThrowSystemError(errno, path_);
  if (SeamRecording::Active()) NoteFileChange(SeamOp::Kind::SyncFile, Inode());
}

void BinaryFile::Truncate(int64_t length) {
  FileFaults::Count(FileFaults::Op::Write, path_);
  if (::ftruncate(fd_, length) != 0) ThrowSystemError(errno, path_);
  if (SeamRecording::Active()) NoteFileChange(SeamOp::Kind::Truncate, Inode(), length);
  FileFaults::CountWritten();
}

bool BinaryFile::LockExclusive(int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) ThrowSystemError(errno, path_);
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

void BinaryFile::SetModifiedTime(int64_t unixSeconds) {
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(unixSeconds);
  times[1].tv_nsec = 0;
  if (::futimens(fd_, times) != 0) ThrowSystemError(errno, path_);
}

void BinaryFile::Close() {
  if (fd_ < 0) return;
  int fd = std::exchange(fd_, -1);
  if (::close(fd) != 0) ThrowSystemError(errno, path_);
}

void CopyBetween(BinaryFile& from, int64_t fromOffset, BinaryFile& to, int64_t toOffset, int64_t length,
                 const CopyProgress& progress) {
  if (length <= 0) return;
  // Between pieces the front end may stop a long copy (the user cancelled).
  auto goOn = [&](int64_t left) {
    if (progress && !progress(length - left)) throw Stopped();
  };
  int64_t left = length;
  int64_t in = fromOffset, out = toOffset;
  // The kernel copies page-congruent ranges fastest without the bytes passing
  // through user space; entry data rarely sits on a page boundary, and for
  // unaligned ranges a plain buffered copy is the faster of the two. A
  // recording needs the bytes, which only the buffered copy sees.
  if ((fromOffset - toOffset) % 4096 == 0 && !SeamRecording::Active()) {
    FileFaults::Count(FileFaults::Op::Write, to.Path());
    loff_t kin = in, kout = out;
    while (left > 0) {
      const loff_t started = kout;
      const auto want = static_cast<size_t>(std::min<int64_t>(left, kWritebackStep));
      ssize_t n =
          ::copy_file_range(from.Descriptor(), &kin, to.Descriptor(), &kout, FileFaults::Transfer(want), 0);
      if (n < 0) {
        if (errno == EINTR) continue;
        if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP) break;
        ThrowSystemError(errno, to.Path());
      }
      if (n == 0) throw PffError(from.Path() + ": unexpected end of file");
      if (length >= kWritebackStep) StartWriteback(to.Descriptor(), started, n);
      left -= n;
      goOn(left);
    }
    in = kin;
    out = kout;
    if (left == 0) FileFaults::CountWritten();
  }
  if (left == 0) return;
  std::vector<char> chunk(static_cast<size_t>(std::min<int64_t>(left, kChunk)));
  int64_t unstarted = out;
  while (left > 0) {
    size_t want = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(chunk.size())));
    from.ReadExactAt(in, chunk.data(), want);
    to.WriteAt(out, chunk.data(), want);
    in += static_cast<int64_t>(want);
    out += static_cast<int64_t>(want);
    left -= static_cast<int64_t>(want);
    // Small copies are left to the kernel: a hint per small file costs more than it gains.
    if (out - unstarted >= kWritebackStep || (left == 0 && length >= kWritebackStep)) {
      StartWriteback(to.Descriptor(), unstarted, out - unstarted);
      unstarted = out;
    }
    goOn(left);
  }
}

}  // namespace pff

#endif  // _WIN32
