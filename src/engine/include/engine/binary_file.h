#pragma once
// The single way the program touches archive and entry files: positioned
// reads and writes on a file that is opened, used and closed within one call.
// Tests arm FileFaults to make any open, read or write fail, and record what
// changed through SeamRecording.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "engine/file_faults.h"
#include "engine/file_system.h"

namespace pff {

class BinaryFile {
 public:
  enum class Mode {
    Read,       // existing file, read only
    ReadWrite,  // read and write, created when missing, never truncated
    Create,     // created or replaced: empty afterwards
    Update,     // read and write an existing file, never truncated
    CreateNew,  // a new file only its owner may write; fails when the name exists (a link there included)
  };

  /// Opens path (UTF-8); throws PffError with the system's description.
  /// Only regular files are opened: a FIFO, device, socket or folder fails at
  /// once (a FIFO is opened without blocking, then refused). followLinks
  /// false refuses a symbolic link at path.
  static BinaryFile Open(const std::string& path, Mode mode, bool followLinks = true);
  /// Creates a new file in folder named ".STEM.XXXXXX.tmp" (random, never an
  /// existing name; a link planted there is not followed), holding its
  /// exclusive lock until it is closed: a file of that name whose lock is
  /// free was left behind by a program that died.
  static BinaryFile CreateTemporary(const std::string& folder, const std::string& stem);
  /// Creates a file that is to be called path, in path's folder, but has no
  /// name yet: nobody sees it before LinkAs names it, and it vanishes with its
  /// descriptor. nullopt where the system or the file system cannot (and while
  /// a seam recording runs, which follows files by name). Throws PffError for a
  /// folder that cannot hold a new file.
  static std::optional<BinaryFile> CreateUnnamed(const std::string& path);

  /// Gives a file from CreateUnnamed the name path, never replacing what is
  /// there (a link there included): false when the name is taken. Throws PffError.
  bool LinkAs(const std::string& path);

  BinaryFile(BinaryFile&& other) noexcept;
  BinaryFile& operator=(BinaryFile&& other) noexcept;
  BinaryFile(const BinaryFile&) = delete;
  BinaryFile& operator=(const BinaryFile&) = delete;
  ~BinaryFile();

  int64_t Length() const;
  /// Owner, permissions, size and times of the open file.
  FileStatus Status() const;
  /// The identity of the open file (compare with FileIdOf(path) to see whether the path still names it).
  FileId Id() const;
  /// Reads up to n bytes at offset; returns how many were there (short at the end).
  size_t ReadAt(int64_t offset, void* buffer, size_t n);
  /// Reads exactly n bytes at offset or throws.
  void ReadExactAt(int64_t offset, void* buffer, size_t n);
  void WriteAt(int64_t offset, const void* buffer, size_t n);
  /// Makes what was written durable (data and length) before returning.
  void Sync();
  /// Cuts or extends the file to length bytes.
  void Truncate(int64_t length);
  /// Takes an exclusive advisory lock on the file, waiting up to timeoutMs;
  /// false when another open file still holds it. Released by Close.
  bool LockExclusive(int timeoutMs);
  /// Sets the file's modification time (seconds since the Unix epoch).
  void SetModifiedTime(int64_t unixSeconds);
  /// Closes and reports a failing close (data not written).
  void Close();

  const std::string& Path() const { return path_; }
  int Descriptor() const { return fd_; }

 private:
  BinaryFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  uint64_t Inode() const;
  int fd_ = -1;
  std::string path_;
};

/// Asked between the pieces of a long copy with the bytes copied so far; false stops it.
using CopyProgress = std::function<bool(int64_t copied)>;

/// Copies length bytes from one file to another at the given offsets, in
/// chunks, so that memory stays small whatever the length. Throws Stopped when
/// progress answers false.
void CopyBetween(BinaryFile& from, int64_t fromOffset, BinaryFile& to, int64_t toOffset, int64_t length,
                 const CopyProgress& progress = {});

/// A path in folder of the form CreateTemporary makes, ".STEM.XXXXXX.tmp",
/// with a new random part each time (free or not: callers create it exclusively).
std::string TemporaryPath(const std::string& folder, const std::string& stem);
/// Whether name is what CreateTemporary(folder, stem) makes: ".STEM.XXXXXX.tmp".
bool IsTemporaryName(const std::string& name, const std::string& stem);

}  // namespace pff
