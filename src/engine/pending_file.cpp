#include "engine/pending_file.h"

#include <cerrno>

#include "engine/file_system.h"
#include "engine/name_helpers.h"
#include "engine/pff_error.h"

namespace pff {

PendingFile::PendingFile(const std::string& folder, const std::string& name, bool expectReplace)
    : folder_(folder), name_(name), target_(JoinPath(folder, name)) {
  if (!expectReplace) file_ = BinaryFile::CreateUnnamed(target_);
  if (!file_) {
    file_.emplace(BinaryFile::CreateTemporary(folder_, name_));
    temporary_ = file_->Path();
  }
}

PendingFile::~PendingFile() {
  // An unnamed file vanishes with its descriptor.
  if (named_ || temporary_.empty()) return;
  try {
    RemoveFile(temporary_);
  } catch (...) {
    // Whatever kept the file from its name is what the caller reports (or a
    // simulated death that nothing may stop).
  }
}

bool PendingFile::Name(const ReplaceCheck& beforeReplacing) {
  if (temporary_.empty()) {
    if (file_->LinkAs(target_)) {
      named_ = true;
      file_->Close();
      return false;
    }
    LinkUnderTemporaryName();
  }
  if (beforeReplacing) beforeReplacing(target_);
  // Renamed while still open and locked: a program clearing leftovers takes a
  // temporary file whose lock is free for one of a dead writer.
  RenameReplace(temporary_, target_);
  named_ = true;
  file_->Close();
  return true;
}

// Only a name can be renamed over the file in the way.
void PendingFile::LinkUnderTemporaryName() {
  // Locked before it has a name, so that no program clearing leftovers takes it for one.
  file_->LockExclusive(0);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string path = TemporaryPath(folder_, name_);
    if (file_->LinkAs(path)) {
      temporary_ = path;
      return;
    }
  }
  ThrowSystemError(EEXIST, target_);
}

}  // namespace pff
