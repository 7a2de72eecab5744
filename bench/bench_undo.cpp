// What keeping an undo step costs a change, in time and in the state
// folder's space: a rename in a directory of 32,767 entries (the change
// rewrites 1.2 MB, the step keeps what differs and checksums) and an add of
// 256 MiB (too large to redo: the step keeps checksums of it). Each change
// is timed with steps kept and with none; then undo of the add is timed.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "editing/add_file.h"
#include "editing/delete_rename.h"
#include "editing/undo.h"
#include "engine/archive_table.h"
#include "engine/pff_format.h"
#include "full_archive.h"
#include "process_bench.h"

namespace fs = std::filesystem;
using namespace bench;

namespace {

constexpr int64_t kBigSize = int64_t{256} << 20;

std::string WorkFile(const std::string& name) { return (WorkFolder("bench-undo") / name).string(); }

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string FullArchive() {
  const std::string path = WorkFile("full.pff");
  WriteFullArchive(path);
  return path;
}

std::string BigFile() {
  const std::string path = WorkFile("big.bin");
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::vector<char> block(1 << 20);
  for (int64_t written = 0; written < kBigSize; written += static_cast<int64_t>(block.size())) {
    for (size_t i = 0; i < block.size(); i += 64) block[i] = static_cast<char>((written >> 20) + i);
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
  }
  return path;
}

int64_t StepBytes(const std::string& archive) {
  const pff::UndoHistory history = pff::ReadHistory(archive);
  return history.Done.empty() ? 0 : history.Done.back().Bytes;
}

void SetSteps(int steps) { pff::UndoLimits::Current().Steps = steps; }

void BM_UndoStepOfRename(benchmark::State& state) {
  const std::string path = FullArchive();
  pff::ArchiveTable table;
  pff::SilentFrontend port;
  pff::OpenFile(table, path, port);
  pff::PffArchive& archive = table.Archive(1);
  std::vector<double> kept, none;
  int64_t bytes = 0;
  int turn = 0;
  for (auto _ : state) {
    for (const bool keep : {true, false}) {
      SetSteps(keep ? 20 : 0);
      const auto start = Clock::now();
      if (!pff::RenameFile(archive, 1, ++turn % 2 ? "RENAMED.DAT" : "F00001.DAT", port))
        state.SkipWithError("rename failed");
      (keep ? kept : none).push_back(Seconds(start));
      if (keep) bytes = StepBytes(path);
    }
    state.SetIterationTime(kept.back());
  }
  SetSteps(20);
  Report("undo step of a rename, 32,767 entries",
         Format("%.1f ms with the step, %.1f ms without: %.1f ms; %.0f bytes kept (no goal)", Median(kept) * 1000,
                Median(none) * 1000, (Median(kept) - Median(none)) * 1000, static_cast<double>(bytes)));
}

void BM_UndoStepOfBigAdd(benchmark::State& state) {
  const std::string big = BigFile(), path = WorkFile("big.pff");
  std::vector<double> kept, none, undo;
  int64_t bytes = 0;
  for (auto _ : state) {
    for (const bool keep : {true, false}) {
      SetSteps(keep ? 20 : 0);
      WriteFile(path, pff::NewArchiveBytes(pff::Flavour::New));
      pff::ForgetHistory(path);
      pff::ArchiveTable table;
      pff::SilentFrontend port;
      pff::OpenFile(table, path, port);
      const auto start = Clock::now();
      if (!pff::Wrote(pff::AddFile(big, table.Archive(1), {}, port))) state.SkipWithError("add failed");
      (keep ? kept : none).push_back(Seconds(start));
      if (!keep) continue;
      bytes = StepBytes(path);
      const auto undoStart = Clock::now();
      if (pff::UndoChange(table.Archive(1)).Outcome != pff::StepOutcome::Applied) state.SkipWithError("undo failed");
      undo.push_back(Seconds(undoStart));
    }
    state.SetIterationTime(kept.back());
  }
  SetSteps(20);
  fs::remove(path);
  Report("undo step of a 256 MiB add",
         Format("%.0f ms with the step, %.0f ms without: %.0f ms; %.0f bytes kept (no goal)", Median(kept) * 1000,
                Median(none) * 1000, (Median(kept) - Median(none)) * 1000, static_cast<double>(bytes)));
  Report("undo of that 256 MiB add", Format("%.0f ms (no goal)", Median(undo) * 1000));
}

BENCHMARK(BM_UndoStepOfRename)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_UndoStepOfBigAdd)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return RunBenchmarks(argc, argv, WorkFolder("bench-undo")); }
