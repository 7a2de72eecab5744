#pragma once
// Taking entry names and paths apart. Names are Latin-1 byte strings; paths
// are UTF-8 and may use "/" or "\" as the folder separator.

#include <string>

namespace pff {

/// s with every NUL removed.
std::string StripNulls(const std::string& s);
/// Upper-cased text after the first "." (NULs ignored); the whole upper-cased name without ".".
std::string GetFileType(const std::string& name);
/// The text after the last separator.
std::string GetFileName(const std::string& path);
/// name padded with NULs to 16 characters; unchanged when 16 or longer.
std::string PadName16(const std::string& name);
/// Latin-1 upper-casing, used wherever names are compared without regard to case.
std::string UpperLatin1(std::string s);
/// The same rule for one byte.
char UpperLatin1Char(char c);
/// folder joined with name by the folder's own separator ("/" when it has none).
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace pff
