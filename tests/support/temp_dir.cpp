#include "support/temp_dir.h"

#include <atomic>
#include <ctime>
#include <fstream>
#include <random>
#include <stdexcept>

#include "engine/binary_file.h"
#include "engine/file_time.h"

namespace fs = std::filesystem;

namespace pff::test {

TempDir::TempDir() {
  // Tests of several programs run side by side: a random part keeps them apart.
  static const std::string run = std::to_string(std::random_device{}());
  static std::atomic<int> counter{0};
  path_ = fs::temp_directory_path() / ("vellum-test-" + run + "-" + std::to_string(counter++));
  fs::remove_all(path_);
  fs::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

std::string TempDir::File(const std::string& name) const { return (path_ / fs::u8path(name)).u8string(); }

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(fs::u8path(path), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(fs::u8path(path), std::ios::binary | std::ios::trunc);
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
#ifdef _WIN32
  // The C runtime's mktime knows nothing of the system's zone: through the program's own clock.
  const std::optional<int32_t> stored =
      FileTimeFromWallClock(WallClock{year, month, day, hour, minute, second});
  const std::optional<int64_t> t = stored ? UnixFromFileTime(*stored) : std::nullopt;
  if (!t) throw std::runtime_error("no such local time for " + path);
#else
  // Daylight saving -1: whatever the zone says for that reading.
  std::tm tm{second, minute, hour, day, month - 1, year - 1900, 0, 0, -1, 0, nullptr};
  const std::optional<int64_t> t = std::mktime(&tm);
#endif
  BinaryFile file = BinaryFile::Open(path, BinaryFile::Mode::Update);
  file.SetModifiedTime(*t);
  file.Close();
}

}  // namespace pff::test
