#include "undo_history.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include "engine/file_system.h"
#include "engine/pending_file.h"
#include "engine/pff_error.h"

namespace pff {

namespace {

constexpr const char* kArchiveFile = "archive";

// The form of the archive's path that every way of naming it shares.
std::string ArchiveKey(const std::string& archivePath) { return ComparablePath(ResolvedPath(archivePath)); }

// FNV-1a: short, stable across runs and systems; the "archive" file settles a shared hash.
std::string FolderName(const std::string& key) {
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : key) hash = (hash ^ c) * 1099511628211ull;
  char name[17];
  std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(hash));
  return name;
}

std::optional<std::string> HistoryFolder(const std::string& key) {
  const std::optional<std::string> state = UserStateFolder();
  if (!state) return std::nullopt;
  return *state + "/vellumcraft/undo/" + FolderName(key);
}

std::string ReadSmallFile(const std::string& path) {
  BinaryFile file = BinaryFile::Open(path, BinaryFile::Mode::Read, false);
  std::string text(static_cast<size_t>(std::min<int64_t>(file.Length(), 1 << 16)), '\0');
  text.resize(file.ReadAt(0, text.data(), text.size()));
  return text;
}

bool BelongsTo(const std::string& folder, const std::string& key) {
  try {
    return ReadSmallFile(folder + "/" + kArchiveFile) == key;
  } catch (const PffError&) {
    return false;
  }
}

// "00000012.done" -> 12, done; anything else is no step.
std::optional<StepFile> ParseStepName(const std::string& folder, const std::string& name) {
  const size_t dot = name.find('.');
  if (dot != 8) return std::nullopt;
  const std::string suffix = name.substr(dot + 1);
  if (suffix != "done" && suffix != "undone") return std::nullopt;
  int64_t number = 0;
  for (size_t i = 0; i < dot; ++i) {
    if (name[i] < '0' || name[i] > '9') return std::nullopt;
    number = number * 10 + (name[i] - '0');
  }
  return StepFile{number, suffix == "done", folder + "/" + name};
}

std::vector<StepFile> StepsIn(const std::string& folder) {
  std::vector<StepFile> steps;
  for (const std::string& name : FolderEntries(folder))
    if (std::optional<StepFile> step = ParseStepName(folder, name)) steps.push_back(*step);
  std::sort(steps.begin(), steps.end(), [](const StepFile& a, const StepFile& b) { return a.Number < b.Number; });
  return steps;
}

std::string StepName(int64_t number, bool done) {
  char name[32];
  std::snprintf(name, sizeof name, "%08lld.%s", static_cast<long long>(number), done ? "done" : "undone");
  return name;
}

// Makes folder hold the steps of key, and only those.
void ClaimFolder(const std::string& folder, const std::string& key) {
  MakeFolders(folder);
  if (BelongsTo(folder, key)) return;
  for (const StepFile& step : StepsIn(folder)) RemoveFile(step.Path);
  PendingFile file(folder, kArchiveFile, true);
  file.File().WriteAt(0, key.data(), key.size());
  file.Name();
}

}  // namespace

std::vector<StepFile> ListStepFiles(const std::string& archivePath) {
  try {
    const std::string key = ArchiveKey(archivePath);
    const std::optional<std::string> folder = HistoryFolder(key);
    if (!folder || !StatPath(*folder).IsDirectory || !BelongsTo(*folder, key)) return {};
    return StepsIn(*folder);
  } catch (const PffError&) {
    return {};
  }
}

void KeepStep(const std::string& archivePath, const StepContents& contents) {
  const std::string key = ArchiveKey(archivePath);
  const std::optional<std::string> folder = HistoryFolder(key);
  if (!folder) throw PffError("no folder for undo steps: neither XDG_STATE_HOME nor HOME is set");
  ClaimFolder(*folder, key);
  std::vector<StepFile> steps = StepsIn(*folder);
  // A new change makes the undone ones unreachable.
  for (const StepFile& step : steps)
    if (!step.Done) RemoveFile(step.Path);
  const int64_t number = steps.empty() ? 1 : steps.back().Number + 1;
  PendingFile file(*folder, StepName(number, true));
  WriteStepFile(file.File(), contents);
  file.Name();

  const UndoLimits& limits = UndoLimits::Current();
  steps = StepsIn(*folder);
  std::vector<int64_t> sizes;
  for (const StepFile& step : steps) sizes.push_back(StatPath(step.Path).Size);
  int64_t bytes = 0;
  for (int64_t size : sizes) bytes += size;
  for (size_t oldest = 0; oldest + 1 < steps.size(); ++oldest) {
    if (static_cast<int64_t>(steps.size() - oldest) <= limits.Steps && bytes <= limits.Bytes) break;
    bytes -= sizes[oldest];
    RemoveFile(steps[oldest].Path);
  }
}

void MarkStep(const StepFile& step, bool done) {
  if (step.Done == done) return;
  RenameReplace(step.Path, ParentFolder(step.Path) + "/" + StepName(step.Number, done));
}

void DropStep(const StepFile& step) {
  try {
    RemoveFile(step.Path);
  } catch (const PffError&) {
    // Left behind, it is refused when its turn comes: the archive no longer fits it.
  }
}

void ForgetHistory(const std::string& archivePath) {
  for (const StepFile& step : ListStepFiles(archivePath)) DropStep(step);
}

UndoHistory ReadHistory(const std::string& archivePath) {
  UndoHistory history;
  for (const StepFile& step : ListStepFiles(archivePath)) {
    try {
      BinaryFile file = BinaryFile::Open(step.Path, BinaryFile::Mode::Read, false);
      const std::optional<StepHead> head = ReadStepHead(file);
      if (!head) continue;
      const UndoStep summary{head->Label, head->Time, file.Length(), head->Redoable};
      (step.Done ? history.Done : history.Undone).push_back(summary);
    } catch (const PffError&) {
      // A step that cannot be read is no step.
    }
  }
  return history;
}

}  // namespace pff
