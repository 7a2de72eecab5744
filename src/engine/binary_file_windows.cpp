// The file seam on Windows. A BinaryFile's descriptor is a slot in this
// unit's table of open handles, so that a handle closed ahead of a rename
// over its file leaves the number owned by its BinaryFile until Close.
#ifdef _WIN32

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "engine/binary_file.h"
#include "engine/name_helpers.h"
#include "engine/pff_error.h"
#include "engine/seam_recording.h"
#include "win32_support.h"

namespace pff {

namespace {

constexpr size_t kChunk = 1 << 20;
// Windows locks are enforced on the bytes they cover, so the advisory lock
// takes one byte far past any data: it then blocks nobody's reads or writes.
constexpr uint64_t kLockOffset = uint64_t{1} << 62;

struct Slot {
  HANDLE Handle = INVALID_HANDLE_VALUE;
  bool InUse = false;
  bool Locked = false;
  bool Released = false;  // closed so that the file could be replaced
};

std::mutex slotsMutex;
std::vector<Slot> slots;

int Adopt(HANDLE handle) {
  std::lock_guard<std::mutex> hold(slotsMutex);
  auto free = std::find_if(slots.begin(), slots.end(), [](const Slot& s) { return !s.InUse; });
  if (free == slots.end()) free = slots.insert(slots.end(), Slot{});
  *free = Slot{handle, true, false, false};
  return static_cast<int>(free - slots.begin());
}

HANDLE HandleOf(int fd, const std::string& path) {
  std::lock_guard<std::mutex> hold(slotsMutex);
  if (fd < 0 || static_cast<size_t>(fd) >= slots.size() || !slots[static_cast<size_t>(fd)].InUse)
    ThrowSystemError(EBADF, path);
  if (slots[static_cast<size_t>(fd)].Released)
    throw PffError(path + ": the file was closed so that it could be replaced");
  return slots[static_cast<size_t>(fd)].Handle;
}

void MarkLocked(int fd) {
  std::lock_guard<std::mutex> hold(slotsMutex);
  slots[static_cast<size_t>(fd)].Locked = true;
}

void Unlock(HANDLE handle) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(kLockOffset);
  at.OffsetHigh = static_cast<DWORD>(kLockOffset >> 32);
  ::UnlockFileEx(handle, 0, 1, 0, &at);
}

// Frees the slot; false when closing the handle failed.
bool CloseSlot(int fd) {
  Slot slot;
  {
    std::lock_guard<std::mutex> hold(slotsMutex);
    if (fd < 0 || static_cast<size_t>(fd) >= slots.size()) return true;
    slot = std::exchange(slots[static_cast<size_t>(fd)], Slot{});
  }
  if (!slot.InUse || slot.Released) return true;
  // Released explicitly: the system may otherwise keep a lock a while after the close.
  if (slot.Locked) Unlock(slot.Handle);
  return ::CloseHandle(slot.Handle) != 0;
}

OVERLAPPED At(int64_t offset) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(static_cast<uint64_t>(offset));
  at.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
  return at;
}

// Refuses, before anything is opened, a name that opens a device or pipe.
void RefuseDevice(const std::string& path) {
  if (win32::NamesDevice(path)) throw PffError(path + ": not a regular file");
}

// Only files on disk: a console, printer port or pipe is refused and closed.
void RefuseNonFile(HANDLE handle, const std::string& path, bool followLinks) {
  BY_HANDLE_FILE_INFORMATION info;
  const bool known = ::GetFileInformationByHandle(handle, &info) != 0;
  const DWORD error = ::GetLastError();
  if (::GetFileType(handle) != FILE_TYPE_DISK) {
    ::CloseHandle(handle);
    throw PffError(path + ": not a regular file");
  }
  if (!known) {
    ::CloseHandle(handle);
    win32::ThrowError(error, path);
  }
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    ::CloseHandle(handle);
    ThrowSystemError(EISDIR, path);
  }
  if (!followLinks && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    ::CloseHandle(handle);
    ThrowSystemError(ELOOP, path);
  }
}

HANDLE CreateHandle(const std::string& path, DWORD access, DWORD disposition, bool followLinks) {
  // Others may read, write, rename and remove the file while it is open, as on
  // Linux: the advisory lock, not the share mode, keeps writers apart.
  const DWORD flags = FILE_ATTRIBUTE_NORMAL | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
  return ::CreateFileW(win32::SystemPath(path).c_str(), access,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, disposition, flags,
                       nullptr);
}

}  // namespace

namespace win32 {

HANDLE HandleOfDescriptor(int fd, const std::string& path) { return HandleOf(fd, path); }

void ReleaseHandlesOn(const FileId& id) {
  std::vector<HANDLE> doomed;
  {
    std::lock_guard<std::mutex> hold(slotsMutex);
    for (Slot& slot : slots) {
      if (!slot.InUse || slot.Released) continue;
      BY_HANDLE_FILE_INFORMATION info;
      if (!::GetFileInformationByHandle(slot.Handle, &info)) continue;
      const FileId here{info.dwVolumeSerialNumber,
                        (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
      if (!(here == id)) continue;
      if (slot.Locked) Unlock(slot.Handle);
      doomed.push_back(slot.Handle);
      slot.Released = true;
    }
  }
  for (HANDLE handle : doomed) ::CloseHandle(handle);
}

}  // namespace win32

BinaryFile BinaryFile::Open(const std::string& path, Mode mode, bool followLinks) {
  FileFaults::Count(FileFaults::Op::Open, path);
  RefuseDevice(path);
  DWORD access = GENERIC_READ | GENERIC_WRITE;
  DWORD disposition = OPEN_EXISTING;
  switch (mode) {
    case Mode::Read:
      access = GENERIC_READ;
      break;
    case Mode::ReadWrite:
    case Mode::Create:  // emptied below, once it is known to be a file
      disposition = OPEN_ALWAYS;
      break;
    case Mode::Update:
      break;
    case Mode::CreateNew:
      disposition = CREATE_NEW;
      followLinks = false;
      break;
  }
  const bool recordCreation =
      SeamRecording::Active() && disposition != OPEN_EXISTING && !StatPath(path).Exists;
  HANDLE handle = CreateHandle(path, access, disposition, followLinks);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    // A folder cannot be opened as a file; say so as Linux does.
    if (error == ERROR_ACCESS_DENIED && StatPath(path).IsDirectory) ThrowSystemError(EISDIR, path);
    win32::ThrowError(error, path);
  }
  RefuseNonFile(handle, path, followLinks);
  BinaryFile file(Adopt(handle), path);
  if (mode == Mode::Create) {
    FILE_END_OF_FILE_INFO end{};
    if (!::SetFileInformationByHandle(handle, FileEndOfFileInfo, &end, sizeof end))
      win32::ThrowError(::GetLastError(), path);
  }
  if (SeamRecording::Active()) NoteOpened(path, file.Inode(), recordCreation, mode == Mode::Create);
  return file;
}

BinaryFile BinaryFile::CreateTemporary(const std::string& folder, const std::string& stem) {
  FileFaults::Count(FileFaults::Op::Open, folder);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = TemporaryPath(folder, stem);
    HANDLE handle = CreateHandle(name, GENERIC_READ | GENERIC_WRITE, CREATE_NEW, false);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD error = ::GetLastError();
      if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) win32::ThrowError(error, name);
      continue;
    }
    BinaryFile file(Adopt(handle), name);
    // Between the creation and the lock, a program clearing leftovers may
    // take the lock first; it then removes the file, and another name is tried.
    if (!file.LockExclusive(0)) continue;
    if (SeamRecording::Active()) NoteFileName(SeamOp::Kind::Create, name, file.Inode());
    return file;
  }
  ThrowSystemError(EEXIST, folder);
}

BinaryFile::BinaryFile(BinaryFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

BinaryFile& BinaryFile::operator=(BinaryFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) CloseSlot(fd_);
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
  }
  return *this;
}

BinaryFile::~BinaryFile() {
  if (fd_ >= 0) CloseSlot(fd_);
}

int64_t BinaryFile::Length() const {
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(HandleOf(fd_, path_), &size)) win32::ThrowError(::GetLastError(), path_);
  return size.QuadPart;
}

FileStatus BinaryFile::Status() const { return DescriptorStatus(fd_, path_); }

uint64_t BinaryFile::Inode() const { return Id().Inode; }

FileId BinaryFile::Id() const { return win32::IdOf(HandleOf(fd_, path_), path_); }

size_t BinaryFile::ReadAt(int64_t offset, void* buffer, size_t n) {
  FileFaults::Count(FileFaults::Op::Read, path_);
  if (offset < 0) ThrowSystemError(EINVAL, path_);
  const HANDLE handle = HandleOf(fd_, path_);
  size_t done = 0;
  auto* out = static_cast<char*>(buffer);
  while (done < n) {
    OVERLAPPED at = At(offset + static_cast<int64_t>(done));
    const auto want = static_cast<DWORD>(std::min<size_t>(FileFaults::Transfer(n - done), kChunk * 64));
    DWORD got = 0;
    if (!::ReadFile(handle, out + done, want, &got, &at)) {
      const DWORD error = ::GetLastError();
      if (error == ERROR_HANDLE_EOF) break;
      win32::ThrowError(error, path_);
    }
    if (got == 0) break;
    done += got;
  }
  return done;
}

void BinaryFile::ReadExactAt(int64_t offset, void* buffer, size_t n) {
  if (ReadAt(offset, buffer, n) != n) throw PffError(path_ + ": unexpected end of file");
}

void BinaryFile::WriteAt(int64_t offset, const void* buffer, size_t n) {
  FileFaults::Count(FileFaults::Op::Write, path_);
  if (offset < 0) ThrowSystemError(EINVAL, path_);
  const HANDLE handle = HandleOf(fd_, path_);
  size_t done = 0;
  const auto* in = static_cast<const char*>(buffer);
  while (done < n) {
    OVERLAPPED at = At(offset + static_cast<int64_t>(done));
    const auto want = static_cast<DWORD>(std::min<size_t>(FileFaults::Transfer(n - done), kChunk * 64));
    DWORD put = 0;
    if (!::WriteFile(handle, in + done, want, &put, &at)) win32::ThrowError(::GetLastError(), path_);
    done += put;
  }
  if (SeamRecording::Active()) NoteFileChange(SeamOp::Kind::Write, Inode(), offset, {in, in + n});
  FileFaults::CountWritten();
}

void BinaryFile::Sync() {
  FileFaults::ThrowIfCrashed();
  if (!::FlushFileBuffers(HandleOf(fd_, path_))) win32::ThrowError(::GetLastError(), path_);
  if (SeamRecording::Active()) NoteFileChange(SeamOp::Kind::SyncFile, Inode());
}

void BinaryFile::Truncate(int64_t length) {
  FileFaults::Count(FileFaults::Op::Write, path_);
  if (length < 0) ThrowSystemError(EINVAL, path_);
  FILE_END_OF_FILE_INFO end{};
  end.EndOfFile.QuadPart = length;
  if (!::SetFileInformationByHandle(HandleOf(fd_, path_), FileEndOfFileInfo, &end, sizeof end))
    win32::ThrowError(::GetLastError(), path_);
  if (SeamRecording::Active()) NoteFileChange(SeamOp::Kind::Truncate, Inode(), length);
  FileFaults::CountWritten();
}

bool BinaryFile::LockExclusive(int timeoutMs) {
  const HANDLE handle = HandleOf(fd_, path_);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    OVERLAPPED at = At(static_cast<int64_t>(kLockOffset));
    if (::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
      MarkLocked(fd_);
      return true;
    }
    const DWORD error = ::GetLastError();
    if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING) win32::ThrowError(error, path_);
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

void BinaryFile::SetModifiedTime(int64_t unixSeconds) {
  const FILETIME time = win32::FileTimeFromUnix(unixSeconds);
  if (!::SetFileTime(HandleOf(fd_, path_), nullptr, nullptr, &time))
    win32::ThrowError(::GetLastError(), path_);
}

void BinaryFile::Close() {
  if (fd_ < 0) return;
  const int fd = std::exchange(fd_, -1);
  if (!CloseSlot(fd)) win32::ThrowError(::GetLastError(), path_);
}

void CopyBetween(BinaryFile& from, int64_t fromOffset, BinaryFile& to, int64_t toOffset, int64_t length,
                 const CopyProgress& progress) {
  if (length <= 0) return;
  std::vector<char> chunk(static_cast<size_t>(std::min<int64_t>(length, kChunk)));
  int64_t left = length;
  int64_t in = fromOffset, out = toOffset;
  while (left > 0) {
    const auto want = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(chunk.size())));
    from.ReadExactAt(in, chunk.data(), want);
    to.WriteAt(out, chunk.data(), want);
    in += static_cast<int64_t>(want);
    out += static_cast<int64_t>(want);
    left -= static_cast<int64_t>(want);
    // Between pieces the front end may stop a long copy (the user cancelled).
    if (progress && !progress(length - left)) throw Stopped();
  }
}

}  // namespace pff

#endif  // _WIN32
