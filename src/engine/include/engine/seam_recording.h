#pragma once
// Test seam: while a recording runs, the file seam notes every change it
// makes to files and folders, in the order it made them. Tests rebuild from
// such a record the states a power loss could leave behind.

#include <cstdint>
#include <string>
#include <vector>

namespace pff {

struct SeamOp {
  enum class Kind {
    Create,      // Path now names the new file File
    Write,       // Bytes written into File at Offset
    Truncate,    // File cut or extended to Offset bytes
    SyncFile,    // File's data and length made durable
    SyncFolder,  // the names in folder Path made durable
    Rename,      // Path renamed to To (replacing it)
    Unlink,      // Path removed
  };
  Kind What = Kind::Write;
  std::string Path;  // with the folder's links resolved
  std::string To;
  uint64_t File = 0;  // inode number
  int64_t Offset = 0;
  std::vector<uint8_t> Bytes;
};

class SeamRecording {
 public:
  static void Start();
  /// Ends the recording and hands over what it noted.
  static std::vector<SeamOp> Stop();
  static bool Active();
  static void Note(SeamOp op);
  /// path with the links of its folder resolved, so that every way of
  /// naming a file in the record reads the same.
  static std::string Normal(const std::string& path);
};

// What the seam's units note (each a no-op unless a recording runs, or noted
// only when the caller saw one running).
/// Bytes written to or a length given to an open file (its inode number).
void NoteFileChange(SeamOp::Kind what, uint64_t file, int64_t offset = 0, std::vector<uint8_t> bytes = {});
/// A name given to an open file.
void NoteFileName(SeamOp::Kind what, const std::string& path, uint64_t file);
/// A file just opened while a recording runs: created, or else emptied when truncated.
void NoteOpened(const std::string& path, uint64_t file, bool created, bool truncated);
/// A name renamed (to to) or removed, or a folder flushed; noted only while a recording runs.
void NoteFolderChange(SeamOp::Kind what, const std::string& path, const std::string& to = {});

}  // namespace pff
