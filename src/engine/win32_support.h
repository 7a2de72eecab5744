#pragma once
// What the Windows halves of the file seam share: UTF-8 paths turned into the
// UTF-16 the system takes, its error codes turned into the texts the rest of
// the program shows, and the table of files this process holds open.
#ifdef _WIN32

#include <windows.h>

#include <cstdint>
#include <string>

#include "engine/file_system.h"

namespace pff::win32 {

/// text (UTF-8) as UTF-16; throws PffError naming context when it is no valid UTF-8.
std::wstring Wide(const std::string& text);
/// text (UTF-16) as UTF-8.
std::string Utf8(const std::wstring& text);
/// path as the system takes it: a path too long for the old limit is made
/// absolute and given the "\\?\" prefix, which lifts the limit.
std::wstring SystemPath(const std::string& path);
/// Throws PffError for a system error code: the Linux wording where there is
/// one, so that messages read alike on both systems, else the system's own.
[[noreturn]] void ThrowError(DWORD error, const std::string& context);
/// Whether the last component of path is a device Windows reserves (CON,
/// NUL, COM1...) or path names a device or pipe ("\\.\..."): never a file.
bool NamesDevice(const std::string& path);

/// Seconds and nanoseconds since the Unix epoch of a system file time.
void UnixFromFileTime(const FILETIME& time, int64_t& seconds, int64_t& nanoseconds);
/// The system file time of whole Unix seconds.
FILETIME FileTimeFromUnix(int64_t seconds);

/// Identity of an open handle.
FileId IdOf(HANDLE handle, const std::string& path);
/// A handle on path for asking about it (no data access), following links or
/// not; INVALID_HANDLE_VALUE with the error left in GetLastError.
HANDLE OpenForQuery(const std::string& path, bool followLinks);

/// The handle behind an open BinaryFile's descriptor; throws PffError naming path when it is closed.
HANDLE HandleOfDescriptor(int fd, const std::string& path);
/// Closes, ahead of a rename over the file, every handle this process holds
/// on it: Windows refuses to replace a file that is open. Later use of such
/// a file fails with a clear message; closing it is still allowed.
void ReleaseHandlesOn(const FileId& id);

}  // namespace pff::win32

#endif  // _WIN32
