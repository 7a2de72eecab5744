#include "engine/frontend.h"

namespace pff {

const char* RoutineName(Routine routine) {
  // The names users have read in these messages for years, typing slips included.
  switch (routine) {
    case Routine::AddFile:
      return "AddFile";
    case Routine::ReadFileHeader:
      return "GetFileHeader";
    case Routine::ExtractEntry:
      return "ExtractFile";
    case Routine::DeleteEntries:
      return "DeleteFile";
    case Routine::RenameEntry:
      return "RenameFile";
    case Routine::CompactArchive:
      return "CompactArchive";
    case Routine::OpenArchive:
      return "UpdatePff";
    case Routine::CloseArchive:
      return "CloseFile";
    case Routine::NewArchiveCommand:
      return "mnuNew_Click";
    case Routine::AddCommand:
      return "mnuAddFiles_Click";
    case Routine::ExtractCommand:
      return "mnuExtract_Click";
    case Routine::DeleteCommand:
      return "mnuDelete_Click";
    case Routine::RenameCommand:
      return "mnuRename_Click";
    case Routine::OpenEntry:
      return "FG1_DblClick";
    case Routine::DropFiles:
      return "FG1_FilesDropped";
    case Routine::DragOut:
      return "DragMimeData";
    case Routine::QuickFilter:
      return "Text1_Click";
    case Routine::RefreshGrid:
      return "RefreshList";
    case Routine::RefreshTypeList:
      return "RefreshFilterListError";
    case Routine::RefreshTree:
      return "RefreshFileList";
    case Routine::LoadPreview:
      return "LoadPreview";
    case Routine::DecodePcx:
      return "DecodePcx";
    case Routine::DecodeTga:
      return "DecodeTga";
    case Routine::ReadWavHeader:
      return "ReadWavHeader";
    case Routine::ReadEntryBytes:
      return "ReadEntryBytes";
  }
  return "?";
}

}  // namespace pff
