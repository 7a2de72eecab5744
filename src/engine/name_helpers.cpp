#include "engine/name_helpers.h"

namespace pff {

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Position of the last "/" or "\", or npos.
size_t LastSeparator(const std::string& s) { return s.find_last_of("/\\"); }

// The separator a path already uses, so a folder keeps its own style.
char SeparatorOf(const std::string& s) {
  const size_t pos = LastSeparator(s);
  return pos == std::string::npos ? '/' : s[pos];
}

std::string WithTrailingSeparator(const std::string& folder) {
  if (!folder.empty() && IsSeparator(folder.back())) return folder;
  return folder + SeparatorOf(folder);
}

}  // namespace

std::string StripNulls(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    if (c != '\0') out.push_back(c);
  }
  return out;
}

std::string GetFileType(const std::string& name) {
  std::string s = StripNulls(name);
  const size_t dot = s.find('.');
  if (dot != std::string::npos) s.erase(0, dot + 1);
  return UpperLatin1(std::move(s));
}

std::string GetFileName(const std::string& path) {
  const size_t sep = LastSeparator(path);
  return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string PadName16(const std::string& name) {
  if (name.size() >= 16) return name;
  std::string out = name;
  out.resize(16, '\0');
  return out;
}

char UpperLatin1Char(char c) {
  const auto b = static_cast<unsigned char>(c);
  const bool lower = (b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7);
  return lower ? static_cast<char>(b - 0x20) : c;
}

std::string UpperLatin1(std::string s) {
  for (char& c : s) c = UpperLatin1Char(c);
  return s;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  return WithTrailingSeparator(folder) + name;
}

}  // namespace pff
