#include "support/temp_dir.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <ctime>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace pff::test {

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  path_ = fs::temp_directory_path() /
          ("vellum-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  fs::remove_all(path_);
  fs::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

std::string TempDir::File(const std::string& name) const { return (path_ / name).string(); }

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

void WriteText(const std::string& path, const std::string& text) {
  WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

int32_t ReadInt32(const std::vector<uint8_t>& bytes, size_t offset) {
  uint32_t v = uint32_t(bytes.at(offset)) | uint32_t(bytes.at(offset + 1)) << 8 |
               uint32_t(bytes.at(offset + 2)) << 16 | uint32_t(bytes.at(offset + 3)) << 24;
  return static_cast<int32_t>(v);
}

void SetLocalMTime(const std::string& path, int year, int month, int day, int hour, int minute, int second) {
  // Daylight saving -1: whatever the zone says for that reading.
  std::tm tm{second, minute, hour, day, month - 1, year - 1900, 0, 0, -1, 0, nullptr};
  const std::time_t t = std::mktime(&tm);
  const timespec times[2] = {{t, 0}, {t, 0}};
  if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0)
    throw std::runtime_error("cannot set time of " + path);
}

}  // namespace pff::test
