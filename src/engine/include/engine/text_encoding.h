#pragma once
// Entry names are single bytes read as Latin-1; everything else is UTF-8.

#include <string>

namespace pff {

std::string Latin1ToUtf8(const std::string& latin1);
/// Characters outside Latin-1 (and malformed bytes) become "_".
std::string Utf8ToLatin1(const std::string& utf8);

}  // namespace pff
