#pragma once
// Where the undo steps of an archive are kept: a folder per archive in the
// user's state folder, named after a hash of the archive's resolved path,
// whose file "archive" holds that path. Steps are "NUMBER.done" and
// "NUMBER.undone", numbered in the order the changes were made; a step
// moves between the two by a rename. Every change of the folder happens
// under the archive's lock, held by the change the step belongs to.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "undo_step_file.h"

namespace pff {

struct StepFile {
  int64_t Number = 0;
  bool Done = true;
  std::string Path;
};

/// The step files of archivePath, by number; none when the folder belongs to
/// another archive or cannot be read.
std::vector<StepFile> ListStepFiles(const std::string& archivePath);
/// Keeps contents as the newest done step of archivePath, dropping the
/// undone ones first and the oldest ones beyond UndoLimits after. Throws PffError.
void KeepStep(const std::string& archivePath, const StepContents& contents);
/// Moves a step to the done or the undone ones. Throws PffError.
void MarkStep(const StepFile& step, bool done);
/// Removes a step file; a failure is let pass (the step would be refused anyway).
void DropStep(const StepFile& step);

}  // namespace pff
