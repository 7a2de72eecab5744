#pragma once
// A new file that appears under its name only when whole.

#include <functional>
#include <optional>
#include <string>

#include "engine/binary_file.h"

namespace pff {

/// A file written out of sight and named in one step once whole: a failure, a
/// cancel or the program's death never leaves part of it under its name, and a
/// file already there is replaced whole or not at all. Where the system allows,
/// the file has no name at all until then (naming a new file costs less than a
/// rename); elsewhere it is written under a temporary name beside the target,
/// locked, and renamed over it.
class PendingFile {
 public:
  /// Starts the file folder/name (name is one file name). expectReplace: a
  /// file is probably there already, and the temporary name, which replaces
  /// one most cheaply, is taken from the start. Throws PffError.
  PendingFile(const std::string& folder, const std::string& name, bool expectReplace = false);
  /// Drops the file unless it was named.
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  BinaryFile& File() { return *file_; }
  const std::string& Target() const { return target_; }

  /// Called with the target before anything there is replaced; throws to keep it.
  using ReplaceCheck = std::function<void(const std::string& target)>;
  /// Names the file, replacing what is there (a link there is replaced, not
  /// followed) once beforeReplacing, when given, let it; then closes it.
  /// Returns false when the name was free, true when it was taken or may have
  /// been. Throws PffError; the file is then dropped.
  bool Name(const ReplaceCheck& beforeReplacing = {});

 private:
  void LinkUnderTemporaryName();

  std::string folder_;
  std::string name_;
  std::string target_;
  std::optional<BinaryFile> file_;
  std::string temporary_;  // the file's name until it is named; empty while it has none
  bool named_ = false;
};

}  // namespace pff
