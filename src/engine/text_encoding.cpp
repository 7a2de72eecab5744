#include "engine/text_encoding.h"

#include <cstdint>

namespace pff {

std::string Latin1ToUtf8(const std::string& latin1) {
  std::string out;
  out.reserve(latin1.size() * 2);
  for (char c : latin1) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out.push_back(c);
    } else {
      out.push_back(static_cast<char>(0xC0 | (b >> 6)));
      out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
    }
  }
  return out;
}

namespace {

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Length and code point of the well-formed sequence at s[i], or 0 when the
// bytes there do not start one (overlong forms and surrogates included).
size_t DecodeSequence(const std::string& s, size_t i, uint32_t& codePoint) {
  const auto lead = static_cast<unsigned char>(s[i]);
  size_t length;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    codePoint = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    codePoint = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    codePoint = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > s.size()) return 0;
  const auto second = static_cast<unsigned char>(s[i + 1]);
  if (second < low || second > high) return 0;
  for (size_t k = 1; k < length; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if (!IsContinuation(b)) return 0;
    codePoint = (codePoint << 6) | (b & 0x3F);
  }
  return length;
}

}  // namespace

std::string Utf8ToLatin1(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    if (static_cast<unsigned char>(utf8[i]) < 0x80) {
      out.push_back(utf8[i++]);
      continue;
    }
    uint32_t codePoint = 0;
    const size_t length = DecodeSequence(utf8, i, codePoint);
    if (length == 0) {
      out.push_back('_');
      ++i;
      continue;
    }
    out.push_back(codePoint <= 0xFF ? static_cast<char>(codePoint) : '_');
    i += length;
  }
  return out;
}

}  // namespace pff
