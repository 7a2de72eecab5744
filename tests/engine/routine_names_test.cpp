// The names after "Error in " are what users and their scripts have read for
// years; a slip in one is a changed message.
#include <gtest/gtest.h>

#include <utility>

#include "engine/frontend.h"

namespace pff::test {
namespace {

TEST(RoutineNames, EveryRoutineKeepsItsOldName) {
  const std::pair<Routine, const char*> names[] = {
      {Routine::AddFile, "AddFile"},
      {Routine::ReadFileHeader, "GetFileHeader"},
      {Routine::ExtractEntry, "ExtractFile"},
      {Routine::DeleteEntries, "DeleteFile"},
      {Routine::RenameEntry, "RenameFile"},
      {Routine::CompactArchive, "CompactArchive"},
      {Routine::OpenArchive, "UpdatePff"},
      {Routine::CloseArchive, "CloseFile"},
      {Routine::NewArchiveCommand, "mnuNew_Click"},
      {Routine::AddCommand, "mnuAddFiles_Click"},
      {Routine::ExtractCommand, "mnuExtract_Click"},
      {Routine::DeleteCommand, "mnuDelete_Click"},
      {Routine::RenameCommand, "mnuRename_Click"},
      {Routine::OpenEntry, "FG1_DblClick"},
      {Routine::DropFiles, "FG1_FilesDropped"},
      {Routine::DragOut, "DragMimeData"},
      {Routine::QuickFilter, "Text1_Click"},
      {Routine::RefreshGrid, "RefreshList"},
      {Routine::RefreshTypeList, "RefreshFilterListError"},
      {Routine::RefreshTree, "RefreshFileList"},
  };
  for (const auto& [routine, name] : names) EXPECT_STREQ(RoutineName(routine), name);
}

}  // namespace
}  // namespace pff::test
