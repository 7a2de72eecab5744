#ifdef _WIN32

#include "win32_support.h"

#include <cerrno>
#include <vector>

#include "engine/name_helpers.h"
#include "engine/pff_error.h"
#include "engine/windows_names.h"

namespace pff::win32 {

namespace {

// 100-nanosecond ticks between 1601-01-01 and 1970-01-01.
constexpr int64_t kEpochTicks = 116444736000000000;
constexpr int64_t kTicksPerSecond = 10000000;
// Paths shorter than this pass as they are; the old limit is 260 with the
// terminating zero, and a file created in a folder adds its own name.
constexpr size_t kShortPath = 240;

bool IsSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

}  // namespace

std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                      static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) throw PffError(text + ": the name is not valid UTF-8");
  std::wstring wide(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                        wide.data(), n);
  return wide;
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
  std::string narrow(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), n, nullptr,
                        nullptr);
  return narrow;
}

std::wstring SystemPath(const std::string& path) {
  std::wstring wide = Wide(path);
  if (wide.size() < kShortPath || wide.compare(0, 4, L"\\\\?\\") == 0) return wide;
  // The prefix turns off every rewriting of the path, so it must already be
  // absolute, with backslashes and without "." or "..".
  const DWORD n = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (n == 0) return wide;
  std::wstring full(n, L'\0');
  const DWORD got = ::GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
  if (got == 0 || got >= n) return wide;
  full.resize(got);
  if (full.size() > 2 && IsSeparator(full[0]) && IsSeparator(full[1]))
    return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

void ThrowError(DWORD error, const std::string& context) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
      ThrowSystemError(ENOENT, context);
    case ERROR_ACCESS_DENIED:
      ThrowSystemError(EACCES, context);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      ThrowSystemError(EEXIST, context);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      ThrowSystemError(ENOSPC, context);
    case ERROR_WRITE_PROTECT:
      ThrowSystemError(EROFS, context);
    case ERROR_NOT_SAME_DEVICE:
      ThrowSystemError(EXDEV, context);
    case ERROR_DIRECTORY:
      ThrowSystemError(ENOTDIR, context);
    default:
      break;
  }
  wchar_t* text = nullptr;
  const DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string description = n ? Utf8(std::wstring(text, n)) : "system error " + std::to_string(error);
  if (text) ::LocalFree(text);
  while (!description.empty() && (description.back() == '\n' || description.back() == '\r' ||
                                  description.back() == ' ' || description.back() == '.'))
    description.pop_back();
  throw PffError(context.empty() ? description : context + ": " + description);
}

bool NamesDevice(const std::string& path) {
  if (path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) && path[2] == '.' &&
      IsSeparator(path[3]))
    return true;
  return IsWindowsDeviceName(GetFileName(path));
}

void UnixFromFileTime(const FILETIME& time, int64_t& seconds, int64_t& nanoseconds) {
  const int64_t ticks =
      static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime) -
      kEpochTicks;
  seconds = ticks / kTicksPerSecond;
  int64_t rest = ticks % kTicksPerSecond;
  if (rest < 0) rest += kTicksPerSecond, --seconds;
  nanoseconds = rest * 100;
}

FILETIME FileTimeFromUnix(int64_t seconds) {
  const auto ticks = static_cast<uint64_t>(seconds * kTicksPerSecond + kEpochTicks);
  FILETIME time;
  time.dwLowDateTime = static_cast<DWORD>(ticks);
  time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return time;
}

FileId IdOf(HANDLE handle, const std::string& path) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(handle, &info)) ThrowError(::GetLastError(), path);
  return FileId{info.dwVolumeSerialNumber,
                (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

HANDLE OpenForQuery(const std::string& path, bool followLinks) {
  // Backup semantics open folders too; no data access needs no sharing from
  // whoever else has the file open.
  const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
  return ::CreateFileW(SystemPath(path).c_str(), FILE_READ_ATTRIBUTES,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, flags,
                       nullptr);
}

}  // namespace pff::win32

#endif  // _WIN32
