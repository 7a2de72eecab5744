#include "engine/seam_recording.h"

#include <utility>

#include "engine/file_system.h"

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
  const size_t slash = path.find_last_of('/');
  return ResolvedPath(ParentFolder(path)) + "/" +
         (slash == std::string::npos ? path : path.substr(slash + 1));
}

}  // namespace pff
