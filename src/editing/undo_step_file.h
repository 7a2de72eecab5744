#pragma once
// The bytes of one undo step (editing/undo.h), written and read here.
//
// Layout (little-endian): a 64-byte head ("VCUNDO01", kind 4, count 4, time
// 8, old length 8, new length 8, flags 4 (1: redoable), counts of the checks
// before and after and of the runs 4 each, CRC-32 of the body 4, CRC-32 of
// the 60 bytes before it 4), then the body:
// - the checks of the archive before and after the change: offset 8, length
//   8 and a CRC-32 per piece (journal_format.h) of what the range held;
// - the runs, the ranges inside the old length whose bytes the change
//   altered: offset 8, length 8, the old bytes, and the new ones when the step
//   is redoable;
// - when redoable, the bytes the change appended past the old length.
// The file is read as hostile: every count, range and length is checked
// against the file and the lengths before anything is used.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editing/undo.h"
#include "engine/binary_file.h"

namespace pff {

struct StepHead {
  ChangeLabel Label;
  int64_t Time = 0;
  int64_t OldLength = 0, NewLength = 0;
  bool Redoable = false;
};

/// A range of the archive and the checksums of its pieces in one state.
struct StepCheck {
  int64_t Offset = 0, Length = 0;
  std::vector<uint32_t> Sums;
};

/// A range the change altered; where its bytes lie in the step file.
struct StepRun {
  int64_t Offset = 0, Length = 0;
  int64_t OldAt = 0;
  int64_t NewAt = -1;  // -1: not kept
};

struct LoadedStep {
  StepHead Head;
  std::vector<StepCheck> Before, After;
  std::vector<StepRun> Runs;
  int64_t AppendedAt = -1;  // -1: not kept
  std::optional<BinaryFile> File;  // open for reading the runs
};

/// Fills out with length bytes of the archive at offset, in one state.
using ReadArchiveBytes = std::function<void(int64_t offset, int64_t length, uint8_t* out)>;

struct StepContents {
  StepHead Head;
  std::vector<StepCheck> Before, After;
  std::vector<std::pair<int64_t, int64_t>> Runs;  // offset, length; sorted, apart, inside the old length
  ReadArchiveBytes Old, New;  // New also serves the appended bytes
};

/// How many bytes the step file of contents takes.
int64_t StepFileBytes(const StepContents& contents);
/// Writes the step file into file (empty, open for writing).
void WriteStepFile(BinaryFile& file, const StepContents& contents);
/// The head of the step file at path; nullopt when it is no whole step head.
std::optional<StepHead> ReadStepHead(BinaryFile& file);
/// The step file, checked whole; nullopt when it is damaged or makes no sense.
std::optional<LoadedStep> LoadStep(BinaryFile file);

}  // namespace pff
