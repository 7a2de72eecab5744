#include "editing/archive_rewrite.h"

#include <exception>
#include <string>

#include "editing/archive_transaction.h"
#include "editing/placement.h"
#include "engine/pff_format.h"

namespace pff {

ArchiveSnapshot TakeSnapshot(const PffArchive& archive) { return {archive.Header, archive.Entries}; }

void RestoreSnapshot(PffArchive& archive, const ArchiveSnapshot& before) {
  archive.Header = before.Header;
  archive.Entries = before.Entries;
}

void RewriteDirectory(PffArchive& archive, const ChangeLabel& label, const std::function<void(PffArchive&)>& edit) {
  const ArchiveSnapshot before = TakeSnapshot(archive);
  ArchiveTransaction tx(archive);
  try {
    edit(archive);
    CheckWritableLayout(archive.Header);
    CheckNoLiveDataIn(archive.Entries, archive.Header.DirOffset, DirectoryEnd(archive.Header), 0,
                      "the directory");
    tx.Write({DirectoryWrite(archive.Header, archive.Entries)});
    tx.Label(label);
    tx.Commit();
  } catch (const std::exception& e) {
    const std::string note = RollBackAfterFailure(tx);
    RestoreSnapshot(archive, before);
    throw PffError(e.what() + note);
  }
}

}  // namespace pff
