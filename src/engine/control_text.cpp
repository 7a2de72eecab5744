#include "engine/control_text.h"

namespace pff {

namespace {

void AppendEscape(std::string& out, unsigned code) {
  static const char kHex[] = "0123456789ABCDEF";
  out += "\\x";
  out += kHex[(code >> 4) & 15];
  out += kHex[code & 15];
}

}  // namespace

std::string EscapeControls(const std::string& utf8, const std::string& keep) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if ((byte < 0x20 || byte == 0x7F) && keep.find(utf8[i]) == std::string::npos) {
      AppendEscape(out, byte);
    } else if (byte == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(utf8[i + 1]) < 0xA0) {
      // U+0080..U+009F: Latin-1 bytes 0x80..0x9F, among them the one-byte CSI.
      AppendEscape(out, static_cast<unsigned char>(utf8[++i]));
    } else {
      out += utf8[i];
    }
  }
  return out;
}

}  // namespace pff
