#include "engine/replace_file.h"

#include <exception>

#include "engine/file_system.h"
#include "engine/name_helpers.h"

namespace pff {

int64_t ReplaceFile(const std::string& target, const std::function<void(BinaryFile&)>& write) {
  BinaryFile temp = BinaryFile::CreateTemporary(ParentFolder(target), GetFileName(target));
  try {
    write(temp);
    temp.Sync();
    if (StatPath(target).Exists) CopyPermissions(target, temp.Path());
    RenameReplace(temp.Path(), target);
  } catch (...) {
    try {
      RemoveFile(temp.Path());
    } catch (const std::exception&) {
      // The failure that brought us here is the one to report.
    }
    throw;
  }
  const int64_t length = temp.Length();
  temp.Close();
  return length;
}

}  // namespace pff
