#include "editing/delete_rename.h"

#include <exception>

#include "editing/archive_rewrite.h"
#include "editing/placement.h"
#include "engine/pff_error.h"

namespace pff {

bool DeleteFiles(PffArchive& archive, const std::vector<int>& indices, Frontend& port) {
  // As in a row-by-row deletion, a bad index is reported and the others still go.
  bool allDeleted = true;
  std::vector<int> valid;
  for (int index : indices) {
    if (archive.HasEntry(index)) {
      valid.push_back(index);
    } else {
      port.ReportError(Routine::DeleteEntries, NoSuchEntry(archive, index));
      allDeleted = false;
    }
  }
  if (valid.empty()) return allDeleted;
  try {
    RewriteDirectory(archive, {ChangeKind::Delete, static_cast<int>(valid.size())}, [&](PffArchive& edited) {
      for (int index : valid) MakeDead(edited.Entry(index));
    });
  } catch (const std::exception& e) {
    port.ReportError(Routine::DeleteEntries, e.what());
    return false;
  }
  return allDeleted;
}

bool RenameFile(PffArchive& archive, int index, const std::string& newName, Frontend& port) {
  if (!archive.HasEntry(index)) {
    port.ReportError(Routine::RenameEntry, NoSuchEntry(archive, index));
    return false;
  }
  try {
    RewriteDirectory(archive, {ChangeKind::Rename, 1}, [&](PffArchive& edited) {
      PffEntry& entry = edited.Entry(index);
      // A renamed dead slot becomes a live entry over the region it describes.
      entry.DeadFlag = 0;
      entry.Name = MakeEntryName(newName);
    });
  } catch (const std::exception& e) {
    port.ReportError(Routine::RenameEntry, e.what());
    return false;
  }
  return true;
}

RenameCheck CheckNewName(const PffArchive& archive, const std::string& newName) {
  if (newName.empty()) return RenameCheck::Empty;
  if (newName.size() > static_cast<size_t>(kNameLength)) return RenameCheck::TooLong;
  // The entry being renamed takes part too, so a change of case alone is refused.
  return FindEntryByName(archive.Entries, MakeEntryName(newName)) != 0 ? RenameCheck::Used : RenameCheck::Ok;
}

std::string RenameCheckMessage(RenameCheck check, const std::string& answer) {
  switch (check) {
    case RenameCheck::TooLong:
      return "Error, File Name \"" + answer + "\" Is Too Long!\r\nIt MUST be less or equal to 16 Chracters!";
    case RenameCheck::Used:
      return "Error, File Name \"" + answer + "\" Is Used!";
    default:
      return "";
  }
}

}  // namespace pff
