#pragma once
// The seed inputs of the preview fuzz target, made by code: small PCX (8 and
// 24 bit, run-length coded), TGA (plain, run-length, colour-mapped), BMP, GIF,
// WAV and texts. An input is one byte choosing the entry's name (see
// kPreviewNames; bit 7 asks for the hex view) followed by the entry's bytes.

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace pff::fuzz {

using Bytes = std::vector<uint8_t>;

/// The entry names an input's first byte chooses from: the type decides the decoder tried first.
inline const std::vector<std::string>& PreviewNames() {
  static const std::vector<std::string> names = {"F.PCX", "F.TGA", "F.BMP", "F.PNG", "F.JPG",
                                                 "F.GIF", "F.WAV", "F.TXT", "F.DAT", "F.B.VDA"};
  return names;
}

inline void Put16(Bytes& b, size_t at, unsigned v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}
inline void Put32(Bytes& b, size_t at, uint32_t v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}

// A w x h PCX of 1 plane (palette indices, 256-colour palette at the end) or 3 planes, run-length coded.
inline Bytes SeedPcx(int w, int h, int planes) {
  Bytes b(128, 0);
  b[0] = 0x0A, b[1] = 5, b[2] = 1, b[3] = 8;
  Put16(b, 8, static_cast<unsigned>(w - 1));
  Put16(b, 10, static_cast<unsigned>(h - 1));
  b[65] = static_cast<uint8_t>(planes);
  Put16(b, 66, static_cast<unsigned>(w));
  for (int y = 0; y < h; ++y)
    for (int p = 0; p < planes; ++p)
      for (int x = 0; x < w;) {
        const uint8_t v = static_cast<uint8_t>(p == 0 ? x / 2 * 40 + y : 60 * p);
        int run = 1;
        while (x + run < w && run < 63 && static_cast<uint8_t>(p == 0 ? (x + run) / 2 * 40 + y : 60 * p) == v)
          ++run;
        if (run > 1 || v >= 0xC0) b.push_back(static_cast<uint8_t>(0xC0 | run));
        b.push_back(v);
        x += run;
      }
  if (planes == 1) {
    b.push_back(12);
    for (int i = 0; i < 256; ++i) b.insert(b.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
  }
  return b;
}

// Type 2 (plain true colour), 10 (run-length true colour), 1 (colour-mapped) or 9 (colour-mapped,
// run-length).
inline Bytes SeedTga(int type, int w, int h) {
  const bool mapped = type == 1 || type == 9, rle = type >= 9;
  Bytes b(18, 0);
  b[1] = mapped ? 1 : 0;
  b[2] = static_cast<uint8_t>(type);
  if (mapped) {
    Put16(b, 5, 4);  // 4 palette entries of 24 bits from index 0
    b[7] = 24;
  }
  Put16(b, 12, static_cast<unsigned>(w));
  Put16(b, 14, static_cast<unsigned>(h));
  b[16] = mapped ? 8 : 24;
  b[17] = 0x20;
  if (mapped) b.insert(b.end(), {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255});
  for (int left = w * h; left > 0;) {
    const int n = rle ? std::min(left, 128) : 1;
    if (rle) b.push_back(static_cast<uint8_t>(0x80 | (n - 1)));
    if (mapped)
      b.push_back(static_cast<uint8_t>(left % 4));
    else
      b.insert(b.end(), {0x10, 0x20, static_cast<uint8_t>(left)});
    left -= n;
  }
  return b;
}

// A 24-bit bottom-up BMP whose rows are padded to 4 bytes.
inline Bytes SeedBmp(int w, int h) {
  const int row = (w * 3 + 3) / 4 * 4;
  Bytes b(54 + static_cast<size_t>(row * h), 0);
  b[0] = 'B', b[1] = 'M';
  Put32(b, 2, static_cast<uint32_t>(b.size()));
  Put32(b, 10, 54);
  Put32(b, 14, 40);
  Put32(b, 18, static_cast<uint32_t>(w));
  Put32(b, 22, static_cast<uint32_t>(h));
  Put16(b, 26, 1);
  Put16(b, 28, 24);
  for (size_t i = 54; i < b.size(); ++i) b[i] = static_cast<uint8_t>(i * 7);
  return b;
}

// PCM sound: channels x bits at 8000 Hz, with a LIST chunk before the data as many writers add.
inline Bytes SeedWav(int channels, int bits, uint32_t samples) {
  const uint32_t align = static_cast<uint32_t>(channels * bits / 8), data = samples * align;
  Bytes b(12 + 24 + 12 + 8, 0);
  const char* head = "RIFF....WAVEfmt ";
  std::copy(head, head + 16, b.begin());
  Put32(b, 16, 16);
  Put16(b, 20, 1);
  Put16(b, 22, static_cast<unsigned>(channels));
  Put32(b, 24, 8000);
  Put32(b, 28, 8000 * align);
  Put16(b, 32, align);
  Put16(b, 34, static_cast<unsigned>(bits));
  std::copy_n("LIST", 4, b.begin() + 36);
  Put32(b, 40, 4);
  std::copy_n("INFO", 4, b.begin() + 44);
  std::copy_n("data", 4, b.begin() + 48);
  Put32(b, 52, data);
  for (uint32_t i = 0; i < data; ++i) b.push_back(static_cast<uint8_t>(i * 13));
  Put32(b, 4, static_cast<uint32_t>(b.size() - 8));
  return b;
}

inline Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

/// Each seed: a label and the input (name byte, then the entry).
inline std::vector<std::pair<std::string, Bytes>> PreviewSeeds() {
  const Bytes gif = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00,
                     0x00, 0xff, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00,
                     0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3b};
  const std::vector<std::tuple<std::string, int, Bytes>> entries = {
      {"pcx-8bit-rle", 0, SeedPcx(9, 5, 1)},
      {"pcx-24bit-rle", 0, SeedPcx(7, 4, 3)},
      {"tga-plain", 1, SeedTga(2, 5, 3)},
      {"tga-rle", 1, SeedTga(10, 6, 4)},
      {"tga-colour-mapped", 1, SeedTga(1, 4, 4)},
      {"tga-colour-mapped-rle", 9, SeedTga(9, 5, 2)},
      {"bmp-24bit", 2, SeedBmp(5, 3)},
      {"gif", 5, gif},
      {"wav-pcm-16bit-stereo", 6, SeedWav(2, 16, 40)},
      {"wav-pcm-8bit-mono", 8, SeedWav(1, 8, 30)},
      {"text-ascii", 7, Text("name = tank\r\nspeed = 4\r\n")},
      {"text-latin1", 8, Text("M\xFCnz in K\xF6ln\n\x1A")},
      {"text-utf8", 7, Text("M\xC3\xBCnz \xE2\x82\xAC\nline two")},
      {"hex-view", 0x80 | 8, Text("\x01\x02\x03 bytes")},
  };
  std::vector<std::pair<std::string, Bytes>> seeds;
  for (const auto& [label, name, bytes] : entries) {
    Bytes input{static_cast<uint8_t>(name)};
    input.insert(input.end(), bytes.begin(), bytes.end());
    seeds.emplace_back(label, input);
  }
  return seeds;
}

}  // namespace pff::fuzz
