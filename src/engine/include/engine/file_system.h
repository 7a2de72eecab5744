#pragma once
// Whole files and folders: the other half of the file seam (binary_file.h
// holds the open-file half). Everything the program asks of the operating
// system about paths goes through these two units, each built for Linux
// (*_posix.cpp) or Windows (*_windows.cpp).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pff {

struct FileStatus {
  bool Exists = false;
  bool IsRegular = false;
  bool IsDirectory = false;
  bool IsSymlink = false;  // only when asked without following links
  int64_t Size = 0;
  int64_t ModifiedSeconds = 0;      // since the Unix epoch
  int64_t ModifiedNanoseconds = 0;  // 0 to 999,999,999
  uint32_t OwnerId = 0;
  uint32_t Permissions = 0;  // the mode's permission bits, 07777 at most
};

/// What is at path; a missing path gives Exists false. followLinks false
/// describes a symbolic link itself. Throws PffError for other failures.
FileStatus StatPath(const std::string& path, bool followLinks = true);
/// The same for an open descriptor (path names it in an error).
FileStatus DescriptorStatus(int fd, const std::string& path);
/// The user this program runs as (its effective user id).
uint32_t CurrentUserId();
/// The names in folder, "." and ".." left out. Throws PffError when it cannot be read.
std::vector<std::string> FolderEntries(const std::string& folder);
/// Renames from over to (atomic on one file system; a link at `to` is replaced, not followed).
void RenameReplace(const std::string& from, const std::string& to);
/// Removes a file; a missing file is no error.
void RemoveFile(const std::string& path);
/// Makes folder and its missing parents; the new ones only their owner may
/// enter. Throws PffError.
void MakeFolders(const std::string& folder);
/// Where this user's programs keep state between runs: "$XDG_STATE_HOME"
/// (else "~/.local/state"), "%LOCALAPPDATA%" on Windows; nullopt when the
/// environment names none.
std::optional<std::string> UserStateFolder();
/// Flushes a folder, so that names created, renamed or removed in it are durable.
void SyncFolder(const std::string& folder);
/// path with every symbolic link resolved (the file a link names); path itself when nothing is there.
std::string ResolvedPath(const std::string& path);
/// The folder holding path ("." for a bare name).
std::string ParentFolder(const std::string& path);

/// Device and inode of a file: the same pair means the same file, whatever the path.
struct FileId {
  uint64_t Device = 0;
  uint64_t Inode = 0;
  bool operator==(const FileId& other) const { return Device == other.Device && Inode == other.Inode; }
};
/// The identity of what is at path (a link itself when followLinks is false), or
/// Exists false in status terms: nullopt when nothing is there. Throws PffError otherwise.
std::optional<FileId> FileIdOf(const std::string& path, bool followLinks = true);
/// Why this system cannot hold name (one file name, UTF-8) in a folder, as a
/// sentence part; nullopt when it can.
std::optional<std::string> FileNameProblem(const std::string& name);
/// path made absolute and normal ("a/./b" and "a/b" agree), in the form in
/// which two paths naming one file compare equal (letter case folded where the
/// file system ignores it).
std::string ComparablePath(const std::string& path);
/// Gives path the permission bits of model (a rewritten archive keeps the old one's).
void CopyPermissions(const std::string& model, const std::string& path);

}  // namespace pff
