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

}  // namespace pff
