#pragma once
// What the preview pane needs to know about an entry's bytes before handing
// them to a decoder: which kind they are, the size an image declares, a WAV
// file's format, and the lines of the hex view. Plain C++, so that hostile
// headers are judged before any library allocates for them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace pff {

enum class PreviewKind { Empty, Image, Pcx, Text, Sound, Bytes };

/// Largest image side and decoded size (4 bytes a pixel) the pane decodes.
constexpr int64_t kMaxImageSide = 16384;
constexpr int64_t kMaxImageBytes = int64_t{256} << 20;
/// Bytes looked at to tell the kind (and to read a WAV header from).
constexpr size_t kSniffBytes = 64 * 1024;

/// The kind of an entry from its type (upper-case extension, as the grid
/// shows it) and its first bytes; size is the entry's whole size.
PreviewKind DetectPreviewKind(const std::string& type, const uint8_t* head, size_t n, int64_t size);

/// Whether bytes look like text: no NUL, and nearly all printable as UTF-8 or Latin-1.
bool LooksLikeText(const uint8_t* p, size_t n);
/// Whether bytes are valid UTF-8 (a sequence cut at the very end counts as valid).
bool IsUtf8(const uint8_t* p, size_t n);
/// The longest prefix of at most limit bytes that does not split a UTF-8 sequence.
size_t Utf8CutLength(const uint8_t* p, size_t n, size_t limit);

struct DeclaredImage {
  int64_t width = 0;
  int64_t height = 0;
  int bitsPerPixel = 0;
  int paletteSize = 0;
};

/// The reason an image of that size is refused before decoding; nullopt when it is accepted.
std::optional<std::string> ImageSizeRefusal(int64_t width, int64_t height);
/// Size, depth and palette a PCX header declares; the reason it is refused
/// (not a PCX, unsupported depth, too large) in error.
std::optional<DeclaredImage> ReadPcxHeader(const uint8_t* head, size_t n, int64_t size, std::string& error);

struct WavInfo {
  int format = 0;  // 1 PCM, 3 IEEE float, others compressed
  int channels = 0;
  int64_t sampleRate = 0;
  int bits = 0;
  int blockAlign = 0;
  int64_t dataOffset = 0;  // within the entry
  int64_t dataSize = 0;
  double seconds = 0;
};

/// The format of a RIFF WAVE file from its first bytes (the whole header must
/// lie in them); size is the entry's size. The reason it is refused in error.
std::optional<WavInfo> ReadWavHeader(const uint8_t* head, size_t n, int64_t size, std::string& error);
/// A readable name of a WAV format code ("PCM", "IEEE float", "ADPCM", "format 0x55").
std::string WavFormatName(int format);

/// Bytes shown on one line of the hex view.
constexpr int kHexLineBytes = 16;
/// One hex view line: 8-digit offset, 16 bytes in hex, and their Latin-1 text
/// (UTF-8, with "." for control characters).
std::string HexLine(int64_t offset, const uint8_t* p, size_t n);

}  // namespace pff
