#pragma once
// The names "pff add" stores: a warning when a stored name is not the file's
// own, and a refusal when two files of one command would share a stored name.

#include <map>
#include <ostream>
#include <string>

namespace pff::cli {

class AddNames {
 public:
  /// Whether the file at path may be added: false (a message on err) when an
  /// earlier file of this command maps to the same stored name. Prints a
  /// warning on err when the stored name differs from the file's name.
  bool Admit(const std::string& path, std::ostream& err);

 private:
  std::map<std::string, std::string> taken_;  // upper-cased stored name -> the file that got it
};

/// The name (UTF-8) under which a file is stored: its file name made Latin-1 and cut to 16 bytes.
std::string StoredNameOf(const std::string& path);

}  // namespace pff::cli
