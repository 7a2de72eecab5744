#pragma once
// Putting disk files into an archive: new entries, replacements, dead-space re-use.

#include <memory>
#include <optional>
#include <string>

#include "editing/engine_options.h"
#include "editing/entry_index.h"
#include "editing/undo.h"
#include "engine/binary_file.h"
#include "engine/frontend.h"
#include "engine/pff_archive.h"

namespace pff {

/// Stopped: the port's KeepGoing said no during the copy; the addition (with a
/// batch, the whole batch) was undone and nothing reported.
enum class AddResult { Added, Replaced, Declined, Failed, Stopped };
/// Whether the file went into the archive, as a new entry or a replacement.
inline bool Wrote(AddResult result) { return result == AddResult::Added || result == AddResult::Replaced; }

class ArchiveTransaction;
struct ArchiveSnapshot;

/// Many additions to one archive as one change: one journal, one lock, one
/// directory write and one flush at Commit (a `pff add` of many files). After
/// a crash the archive is as before the batch. A failed write undoes the
/// whole batch (file and record) and ends it. Without Commit the journal
/// stays, as after a crash, and the next open undoes the batch.
class AddBatch {
 public:
  explicit AddBatch(PffArchive& archive);
  ~AddBatch();
  AddBatch(const AddBatch&) = delete;
  AddBatch& operator=(const AddBatch&) = delete;

  /// Writes directory and header and makes the batch durable. Returns false
  /// after a failure ended the batch, or after reporting "Error in AddFile"
  /// when the final writes fail (everything of the batch then undone).
  bool Commit(Frontend& port);
  /// Whether a failure ended the batch; later additions are refused.
  bool Failed() const { return failed_; }

  /// Names the batch in the undo history by kind instead of as an add or
  /// replace of the files it wrote (putting an edited entry back).
  void LabelAs(ChangeKind kind) { kind_ = kind; }

  // For AddFile.
  ArchiveTransaction& Begin();
  void CountAdded(bool replaced) {
    ++added_;
    if (replaced) ++replaced_;
  }
  /// The index of the archive's entries, kept up to date by AddFile; nullptr
  /// at the first addition, which a walk over the directory serves as cheaply.
  EntryIndex* Index();
  /// Whether source is the archive file itself.
  bool IsArchive(const BinaryFile& source);
  /// Undoes the whole batch; returns a sentence for the error message.
  std::string Abandon();
  /// Undoes the whole batch; returns "" when that worked, else why the next open will.
  std::string Undo();
  void MarkFailed() { failed_ = true; }

 private:
  PffArchive& archive_;
  std::unique_ptr<ArchiveSnapshot> before_;
  std::unique_ptr<ArchiveTransaction> tx_;
  std::optional<EntryIndex> index_;
  bool indexWanted_ = false;
  std::optional<std::optional<FileId>> archiveId_;
  int added_ = 0;
  int replaced_ = 0;
  std::optional<ChangeKind> kind_;
  bool failed_ = false;
};

/// The new entry for a disk file: size, local modification time, name (UTF-8
/// file name made Latin-1). Reports "Error in GetFileHeader" and returns nullopt on failure.
std::optional<PffEntry> GetFileHeader(const std::string& path, Frontend& port);

/// Adds or replaces the file at path in archive and rewrites the archive file.
/// A same-named entry (case-insensitive, all 16 bytes) is replaced after the
/// port's AskReplace says so, unless options.AlwaysOverwrite. The copy asks
/// the port's KeepGoing between pieces. Failures are reported as
/// "Error in AddFile"; the in-memory archive and the file are then as before
/// the call (read again when another program had changed the file). With a
/// batch, directory and header are written by the batch's Commit.
AddResult AddFile(const std::string& path, PffArchive& archive, const EngineOptions& options, Frontend& port,
                  AddBatch* batch = nullptr);

}  // namespace pff
