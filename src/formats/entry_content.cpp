#include "formats/entry_content.h"

#include <cstdio>
#include <cstring>

namespace pff {

namespace {

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16)) | (uint32_t{p[3]} << 24);
}

bool StartsWith(const uint8_t* p, size_t n, const char* magic, size_t m) {
  return n >= m && std::memcmp(p, magic, m) == 0;
}

bool IsTgaType(const std::string& type) {
  return type == "TGA" || type == "VDA" || type == "ICB" || type == "VST";
}

bool IsWave(const uint8_t* p, size_t n) {
  return StartsWith(p, n, "RIFF", 4) && n >= 12 && std::memcmp(p + 8, "WAVE", 4) == 0;
}

// "BM" alone starts many texts; the size of a known bitmap header must follow.
bool IsBmpStart(const uint8_t* p, size_t n) {
  if (!StartsWith(p, n, "BM", 2) || n < 26) return false;
  const uint32_t info = U32(p + 14);
  return info == 12 || info == 40 || info == 52 || info == 56 || info == 64 || info == 108 || info == 124;
}

bool IsPcxStart(const uint8_t* p, size_t n) {
  return n >= 128 && p[0] == 0x0A && p[1] <= 5 && p[2] <= 1 &&
         (p[3] == 1 || p[3] == 2 || p[3] == 4 || p[3] == 8);
}

}  // namespace

PreviewKind DetectPreviewKind(const std::string& type, const uint8_t* head, size_t n, int64_t size) {
  if (size <= 0) return PreviewKind::Empty;
  if (StartsWith(head, n, "\x89PNG\r\n\x1a\n", 8) || StartsWith(head, n, "\xFF\xD8\xFF", 3) ||
      StartsWith(head, n, "GIF87a", 6) || StartsWith(head, n, "GIF89a", 6) || IsBmpStart(head, n))
    return PreviewKind::Image;
  if (IsWave(head, n)) return PreviewKind::Sound;
  if (IsPcxStart(head, n)) return PreviewKind::Pcx;
  // Named as an image but not readable as one: the decoder's refusal says why.
  if (type == "PCX") return PreviewKind::Pcx;
  if (IsTgaType(type) || type == "BMP" || type == "PNG" || type == "JPG" || type == "JPEG" || type == "GIF")
    return PreviewKind::Image;
  if (type == "WAV") return PreviewKind::Sound;
  if (LooksLikeText(head, n)) return PreviewKind::Text;
  return PreviewKind::Bytes;
}

bool IsUtf8(const uint8_t* p, size_t n) {
  size_t i = 0;
  while (i < n) {
    const uint8_t c = p[i];
    size_t extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : 9;
    if (extra == 9 || (extra == 1 && c < 0xC2)) return false;
    for (size_t k = 1; k <= extra; ++k) {
      if (i + k >= n) return true;
      if ((p[i + k] & 0xC0) != 0x80) return false;
    }
    i += extra + 1;
  }
  return true;
}

bool LooksLikeText(const uint8_t* p, size_t n) {
  if (n == 0) return false;
  const bool utf8 = IsUtf8(p, n);
  size_t odd = 0;
  for (size_t i = 0; i < n; ++i) {
    const uint8_t c = p[i];
    if (c == 0) return false;
    const bool control = (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != 0x1A) ||
                         c == 0x7F || (!utf8 && c >= 0x80 && c < 0xA0);
    if (control) ++odd;
  }
  // A few stray control bytes (old editors' leftovers) still read as text.
  return odd * 50 <= n;
}

size_t Utf8CutLength(const uint8_t* p, size_t n, size_t limit) {
  if (n <= limit) return n;
  size_t cut = limit;
  // Step back over continuation bytes to the start of the sequence that the limit splits.
  while (cut > 0 && limit - cut < 3 && (p[cut] & 0xC0) == 0x80) --cut;
  return cut;
}

std::optional<std::string> ImageSizeRefusal(int64_t width, int64_t height) {
  if (width <= 0 || height <= 0)
    return "The image declares no pixels (" + std::to_string(width) + " x " + std::to_string(height) + ").";
  if (width > kMaxImageSide || height > kMaxImageSide || width * height * 4 > kMaxImageBytes)
    return "The image declares " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels, more than this preview decodes.";
  return std::nullopt;
}

std::optional<DeclaredImage> ReadPcxHeader(const uint8_t* head, size_t n, int64_t size, std::string& error) {
  if (n < 128 || head[0] != 0x0A) {
    error = "This is not a PCX image (no PCX header).";
    return std::nullopt;
  }
  const int bits = head[3];
  const int planes = head[65];
  DeclaredImage image;
  image.width = int64_t{U16(head + 8)} - U16(head + 4) + 1;
  image.height = int64_t{U16(head + 10)} - U16(head + 6) + 1;
  image.bitsPerPixel = bits * planes;
  if (!(bits == 8 && (planes == 1 || planes == 3 || planes == 4)) &&
      !(bits == 1 && planes >= 1 && planes <= 4) && !(bits == 2 && planes == 1) &&
      !(bits == 4 && planes == 1)) {
    error = "The PCX image has an unsupported depth (" + std::to_string(bits) + " bits, " +
            std::to_string(planes) + " planes).";
    return std::nullopt;
  }
  if (auto refusal = ImageSizeRefusal(image.width, image.height)) {
    error = *refusal;
    return std::nullopt;
  }
  // SDL2_image reads the line length as a signed number: from 32,768 on it
  // sizes a buffer from a negative count.
  if (U16(head + 66) > 0x7FFF) {
    error = "The PCX header's line length (" + std::to_string(U16(head + 66)) +
            " bytes) is larger than a PCX line can be.";
    return std::nullopt;
  }
  if (U16(head + 66) * int64_t{planes} * 8 < image.width * bits) {
    error = "The PCX header's line length is shorter than its width.";
    return std::nullopt;
  }
  if (image.bitsPerPixel == 8) {
    // The 256-colour palette is the last 769 bytes, announced by the byte 12.
    if (size < 128 + 769) {
      error = "The PCX image is too short to hold its palette.";
      return std::nullopt;
    }
    image.paletteSize = 256;
  } else if (image.bitsPerPixel <= 4) {
    image.paletteSize = 1 << image.bitsPerPixel;
  }
  return image;
}

std::optional<WavInfo> ReadWavHeader(const uint8_t* head, size_t n, int64_t size, std::string& error) {
  if (!IsWave(head, n)) {
    error = "This is not a WAV sound (no RIFF WAVE header).";
    return std::nullopt;
  }
  WavInfo info;
  bool haveFormat = false;
  size_t at = 12;
  while (at + 8 <= n) {
    const uint32_t chunk = U32(head + at + 4);
    const int64_t body = static_cast<int64_t>(at) + 8;
    if (std::memcmp(head + at, "fmt ", 4) == 0) {
      if (chunk < 16 || body + 16 > static_cast<int64_t>(n)) {
        error = "The WAV format chunk is cut short.";
        return std::nullopt;
      }
      const uint8_t* f = head + body;
      info.format = U16(f);
      info.channels = U16(f + 2);
      info.sampleRate = U32(f + 4);
      info.blockAlign = U16(f + 12);
      info.bits = U16(f + 14);
      // The real format of an extensible header is the start of its sub-format GUID.
      if (info.format == 0xFFFE && chunk >= 40 && body + 26 <= static_cast<int64_t>(n))
        info.format = U16(f + 24);
      haveFormat = true;
    } else if (std::memcmp(head + at, "data", 4) == 0) {
      if (!haveFormat) {
        error = "The WAV sound has no format before its data.";
        return std::nullopt;
      }
      if (info.channels == 0 || info.sampleRate == 0 || info.blockAlign == 0 ||
          (info.bits == 0 && (info.format == 1 || info.format == 3))) {
        error = "The WAV format declares zero channels, rate, bits or block size.";
        return std::nullopt;
      }
      if (chunk == 0) {
        error = "The WAV sound holds no samples (data size 0).";
        return std::nullopt;
      }
      if (body + int64_t{chunk} > size) {
        error = "The WAV data declares " + std::to_string(chunk) + " bytes, more than the " +
                std::to_string(size - body) + " the entry holds.";
        return std::nullopt;
      }
      info.dataOffset = body;
      info.dataSize = chunk;
      const int64_t bytesPerSecond = info.sampleRate * info.blockAlign;
      info.seconds = static_cast<double>(chunk) / static_cast<double>(bytesPerSecond);
      return info;
    }
    // Chunks are padded to an even length.
    const int64_t next = body + chunk + (chunk & 1);
    if (next > size) break;
    at = static_cast<size_t>(next);
  }
  error = haveFormat ? "The WAV sound has no data chunk within its first 64 KiB."
                     : "The WAV header is cut short (no format chunk).";
  return std::nullopt;
}

std::string WavFormatName(int format) {
  switch (format) {
    case 1:
      return "PCM";
    case 2:
      return "Microsoft ADPCM";
    case 3:
      return "IEEE float";
    case 6:
      return "A-law";
    case 7:
      return "mu-law";
    case 0x11:
      return "IMA ADPCM";
    default: {
      char text[24];
      std::snprintf(text, sizeof text, "format 0x%X", static_cast<unsigned>(format));
      return text;
    }
  }
}

std::string HexLine(int64_t offset, const uint8_t* p, size_t n) {
  char text[16];
  std::snprintf(text, sizeof text, "%08llX ", static_cast<unsigned long long>(offset));
  std::string line = text;
  for (int i = 0; i < kHexLineBytes; ++i) {
    if (i == 8) line += ' ';
    if (static_cast<size_t>(i) < n) {
      std::snprintf(text, sizeof text, " %02X", p[i]);
      line += text;
    } else {
      line += "   ";
    }
  }
  line += "  ";
  for (size_t i = 0; i < n && i < kHexLineBytes; ++i) {
    const uint8_t c = p[i];
    if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
      line += '.';
    } else if (c < 0x80) {
      line += static_cast<char>(c);
    } else {
      line += static_cast<char>(0xC0 | (c >> 6));
      line += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return line;
}

}  // namespace pff
