#pragma once
// The front end: what the engine needs from whoever shows it, the Qt window,
// the pff tool or a test. It reports and asks; what to redraw is the caller's business.
// Texts are UTF-8.

#include <cstdint>
#include <string>

namespace pff {

/// Where an error happened. The user reads it as the routine's old name after
/// "Error in " (RoutineName); code and tests compare the kinds.
enum class Routine {
  AddFile,
  ReadFileHeader,  // the new entry for a disk file
  ExtractEntry,
  DeleteEntries,
  RenameEntry,
  CompactArchive,
  OpenArchive,
  CloseArchive,
  NewArchiveCommand,
  AddCommand,
  ExtractCommand,
  DeleteCommand,
  RenameCommand,
  OpenEntry,  // double click or Enter on a row
  DropFiles,
  DragOut,
  QuickFilter,
  RefreshGrid,
  RefreshTypeList,
  RefreshTree,
  LoadPreview,
  DecodePcx,
  DecodeTga,
  ReadWavHeader,
  ReadEntryBytes,  // what the preview shows
};
/// The name "Error in " is followed by.
const char* RoutineName(Routine routine);

/// One side of the replace question: the name as shown (UTF-8), the size in
/// bytes and the stored time (FileTime).
struct ReplaceSide {
  std::string Name;
  int32_t Size = 0;
  int32_t FileTime = 0;
};

/// Whether the entry that has the disk file's name is to be replaced by it.
struct ReplaceRequest {
  ReplaceSide Entry;     // in the archive
  ReplaceSide File;      // the entry the disk file would become
  std::string FilePath;  // the disk file
};

class Frontend {
 public:
  virtual ~Frontend() = default;

  /// "Error in " + RoutineName(routine) + line break + description; the caller carries on.
  virtual void ReportError(Routine routine, const std::string& description) = 0;
  /// Something the user must know that is no error, e.g. "PATH: an interrupted
  /// change was undone" when an archive is opened.
  virtual void Notify(const std::string& text) = 0;
  /// The replace question; true means replace.
  virtual bool AskReplace(const ReplaceRequest& request) = 0;
  /// Asked between the pieces of a long copy (about every MiB) with the bytes
  /// of the current file copied so far: false stops the command, which then
  /// undoes the change or leaves no partial file, and reports nothing.
  virtual bool KeepGoing(int64_t /*copied*/) { return true; }
};

/// A port that shows nothing and answers No; for callers that need none.
class SilentFrontend : public Frontend {
 public:
  void ReportError(Routine, const std::string&) override {}
  void Notify(const std::string&) override {}
  bool AskReplace(const ReplaceRequest&) override { return false; }
};

}  // namespace pff
