#pragma once
// Files for tests: a folder removed at the end, and byte-level helpers.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace pff::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  /// Path of name inside the folder, as a UTF-8 string.
  std::string File(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
void WriteText(const std::string& path, const std::string& text);
/// Little-endian 32-bit value at offset.
int32_t ReadInt32(const std::vector<uint8_t>& bytes, size_t offset);
/// Sets a file's modification time to a local wall-clock reading (under the current TZ).
void SetLocalMTime(const std::string& path, int year, int month, int day, int hour, int minute, int second);

}  // namespace pff::test
