#include "engine/seam_recording.h"

#include <utility>

#include "engine/file_system.h"
#include "engine/name_helpers.h"

namespace pff {

namespace {

bool active = false;
std::vector<SeamOp> ops;

}  // namespace

void SeamRecording::Start() {
  ops.clear();
  active = true;
}

std::vector<SeamOp> SeamRecording::Stop() {
  active = false;
  return std::exchange(ops, {});
}

bool SeamRecording::Active() { return active; }

void SeamRecording::Note(SeamOp op) { ops.push_back(std::move(op)); }

std::string SeamRecording::Normal(const std::string& path) {
  // The folder's own separator, so that the record reads alike on Linux and Windows.
  return JoinPath(ResolvedPath(ParentFolder(path)), GetFileName(path));
}

void NoteFileChange(SeamOp::Kind what, uint64_t file, int64_t offset, std::vector<uint8_t> bytes) {
  SeamOp op;
  op.What = what;
  op.File = file;
  op.Offset = offset;
  op.Bytes = std::move(bytes);
  SeamRecording::Note(std::move(op));
}

void NoteFileName(SeamOp::Kind what, const std::string& path, uint64_t file) {
  SeamOp op;
  op.What = what;
  op.Path = SeamRecording::Normal(path);
  op.File = file;
  SeamRecording::Note(std::move(op));
}

void NoteOpened(const std::string& path, uint64_t file, bool created, bool truncated) {
  if (created) {
    NoteFileName(SeamOp::Kind::Create, path, file);
  } else if (truncated) {
    NoteFileChange(SeamOp::Kind::Truncate, file, 0);
  }
}

void NoteFolderChange(SeamOp::Kind what, const std::string& path, const std::string& to) {
  if (!SeamRecording::Active()) return;
  SeamOp op;
  op.What = what;
  op.Path = what == SeamOp::Kind::SyncFolder ? ResolvedPath(path) : SeamRecording::Normal(path);
  if (!to.empty()) op.To = SeamRecording::Normal(to);
  SeamRecording::Note(std::move(op));
}

}  // namespace pff
