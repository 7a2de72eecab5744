// `pff` beside the archivers users already have, on the same 32,767 files of
// 64 B to 4 KiB, each pair run as whole processes taking turns in one run
// (medians, so that a neighbour's stall does not decide): building an archive
// against `zip -0 -q`, extracting all of it against `tar xf`, extracting one
// entry against `unzip`, and the single-entry commands against tar and 7z.
// Only pff flushes what it writes; the others are timed without a flush.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "engine/pff_format.h"
#include "process_bench.h"

namespace {

using namespace bench;

constexpr int kFiles = 32767;
constexpr int kFewerFiles = 10000;
const char* const kOneName = "F16384.DAT";

const fs::path& Work() { return WorkFolder("bench-bulk"); }
std::string Work(const std::string& name) { return (Work() / name).string(); }

// The files, made once: sizes spread over 64 B to 4 KiB, contents varied.
const std::vector<std::string>& FileNames() {
  static const std::vector<std::string> names = [] {
    fs::create_directories(Work() / "files");
    std::vector<std::string> made;
    std::vector<char> bytes(4096);
    uint32_t seed = 12345;
    for (int i = 0; i < kFiles; ++i) {
      seed = seed * 1103515245u + 12345u;
      const size_t size = 64 + (seed >> 8) % (4096 - 64 + 1);
      for (size_t b = 0; b < size; ++b) bytes[b] = static_cast<char>(i + b * 7);
      char name[16];
      std::snprintf(name, sizeof name, "F%05d.DAT", i);
      made.push_back(name);
      std::ofstream(Work() / "files" / name, std::ios::binary)
          .write(bytes.data(), static_cast<std::streamsize>(size));
    }
    return made;
  }();
  return names;
}

std::string FilesFolder() { return Work("files"); }

void NewArchive(const std::string& path) {
  const std::vector<uint8_t> bytes = pff::NewArchiveBytes(pff::Flavour::New);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// Medians of both sides' wall and processor times over rounds that take turns.
struct Pair {
  std::vector<double> ours, theirs, oursCpu, theirsCpu;
  double Ratio() const { return Median(ours) / Median(theirs); }
  double CpuRatio() const { return Median(oursCpu) / Median(theirsCpu); }
};

// Runs both commands once per round, the first of them alternating; prepare
// runs untimed before each command (true for pff).
Pair TakeTurns(benchmark::State& state, int rounds, const std::vector<std::string>& ours,
               const std::vector<std::string>& theirs, const std::function<void(bool)>& prepare,
               const std::string& folder = "") {
  Pair pair;
  for (int round = 0; round < rounds; ++round) {
    for (int step = 0; step < 2; ++step) {
      const bool pffTurn = (round + step) % 2 == 0;
      if (prepare) prepare(pffTurn);
      const ProcessRun run = RunProcess(pffTurn ? ours : theirs, folder);
      if (run.Seconds < 0) state.SkipWithError(((pffTurn ? ours : theirs)[0] + " failed").c_str());
      (pffTurn ? pair.ours : pair.theirs).push_back(run.Seconds);
      (pffTurn ? pair.oursCpu : pair.theirsCpu).push_back(run.CpuSeconds);
    }
  }
  return pair;
}

std::string Side(const Pair& pair, const char* them) {
  return Format("%.0f ms (cpu %.0f) vs ", Median(pair.ours) * 1000, Median(pair.oursCpu) * 1000) + them +
         Format(" %.0f ms (cpu %.0f)", Median(pair.theirs) * 1000, Median(pair.theirsCpu) * 1000);
}

double addSeconds[2];  // median of pff add: 10,000 files, 32,767 files

void BM_AddAgainstZip(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const std::vector<std::string> names(FileNames().begin(), FileNames().begin() + count);
  const std::string archive = Work("add.pff"), zip = Work("add.zip");
  std::vector<std::string> pff = {PffBinary(), "add", archive}, zipArgs = {"zip", "-0", "-q", zip};
  pff.insert(pff.end(), names.begin(), names.end());
  zipArgs.insert(zipArgs.end(), names.begin(), names.end());
  for (auto _ : state) {
    const Pair pair = TakeTurns(
        state, 3, pff, zipArgs,
        [&](bool pffTurn) {
          if (pffTurn) NewArchive(archive);
          fs::remove(zip);
          ::sync();  // the previous round's dirty pages are not charged to this one
        },
        FilesFolder());
    state.SetIterationTime(Median(pair.ours));
    addSeconds[count == kFiles] = Median(pair.ours);
    const std::string label = count == kFiles ? "pff add of 32,767 files" : "pff add of 10,000 files";
    Report(label, Side(pair, "zip -0") + Format("   goal: <= zip (%.2f x)   ", pair.Ratio()) +
                      Verdict(pair.Ratio() <= 1));
  }
  if (count == kFiles) {
    fs::copy_file(archive, Work("full.pff"), fs::copy_options::overwrite_existing);
    fs::copy_file(zip, Work("full.zip"), fs::copy_options::overwrite_existing);
    const double growth = addSeconds[1] / addSeconds[0];
    Report("pff add, 10,000 -> 32,767 files",
           Format("%.2f x (linear: 3.28 x)   goal: <= 4 x   ", growth) + Verdict(growth <= 4));
  }
}

// Output folders are fresh each turn and removed only at the end: files
// deleted just before would slow the next turn's file creation.
void BM_ExtractAllAgainstTar(benchmark::State& state) {
  const std::string tar = Work("full.tar");
  if (RunProcess({"tar", "cf", tar, "."}, FilesFolder()).Seconds < 0) state.SkipWithError("tar cf failed");
  int turn = 0;
  std::string out;
  auto next = [&](bool) {
    out = Work("out-" + std::to_string(++turn));
    fs::create_directories(out);
    ::sync();
  };
  for (auto _ : state) {
    Pair pair;
    for (int round = 0; round < 3; ++round) {
      for (int step = 0; step < 2; ++step) {
        const bool pffTurn = (round + step) % 2 == 0;
        next(pffTurn);
        const ProcessRun run =
            pffTurn ? RunProcess({PffBinary(), "extract", "--all", "-C", out, Work("full.pff")})
                    : RunProcess({"tar", "xf", tar, "-C", out});
        if (run.Seconds < 0) state.SkipWithError("an extraction failed");
        (pffTurn ? pair.ours : pair.theirs).push_back(run.Seconds);
        (pffTurn ? pair.oursCpu : pair.theirsCpu).push_back(run.CpuSeconds);
      }
    }
    state.SetIterationTime(Median(pair.ours));
    Report("pff extract --all, 32,767 entries",
           Side(pair, "tar xf") +
               Format("   goal: cpu <= 1.25 x (%.2f x; wall %.2f x)   ", pair.CpuRatio(), pair.Ratio()) +
               Verdict(pair.CpuRatio() <= 1.25));
  }
  for (int i = 1; i <= turn; ++i) fs::remove_all(Work("out-" + std::to_string(i)));
}

void BM_ExtractOneAgainstUnzip(benchmark::State& state) {
  const std::string out = Work("one");
  fs::create_directories(out);
  for (auto _ : state) {
    const Pair pair = TakeTurns(state, 31, {PffBinary(), "extract", "-C", out, Work("full.pff"), kOneName},
                                {"unzip", "-o", "-q", Work("full.zip"), kOneName, "-d", out}, nullptr);
    state.SetIterationTime(Median(pair.ours));
    Report("pff extract of 1 of 32,767 entries",
           Side(pair, "unzip") +
               Format("   goal: <= unzip (%.2f x; cpu %.2f x)   ", pair.Ratio(), pair.CpuRatio()) +
               Verdict(pair.Ratio() <= 1 && pair.CpuRatio() <= 1));
  }
}

// A command on a fresh copy of an archive of 32,767 entries against an
// archiver's on its own fresh copy; the copies are made untimed.
void CompareOnCopies(benchmark::State& state, const std::string& label, const std::string& ours,
                     const std::string& theirsSource, const std::string& theirs,
                     const std::vector<std::string>& pff, const std::vector<std::string>& other,
                     const char* them) {
  for (auto _ : state) {
    const Pair pair = TakeTurns(
        state, 11, pff, other,
        [&](bool pffTurn) {
          fs::copy_file(pffTurn ? Work("full.pff") : theirsSource, pffTurn ? ours : theirs,
                        fs::copy_options::overwrite_existing);
        },
        FilesFolder());
    state.SetIterationTime(Median(pair.ours));
    // pff waits for its flushes and the archivers write without any: processor time is the fair measure.
    Report(label, Side(pair, them) + Format("   goal: cpu ahead (%.2f x)   ", pair.CpuRatio()) +
                      Verdict(pair.CpuRatio() < 1));
  }
}

void BM_SingleEntryCommands(benchmark::State& state) {
  const std::string pffCopy = Work("copy.pff"), tarCopy = Work("copy.tar"), zipCopy = Work("copy.zip");
  const std::string tar = Work("full.tar"), zip = Work("full.zip");
  switch (state.range(0)) {
    case 0:
      CompareOnCopies(state, "pff list, 32,767 entries", pffCopy, tar, tarCopy,
                      {PffBinary(), "list", pffCopy}, {"tar", "tf", tarCopy}, "tar tf");
      break;
    case 1:
      CompareOnCopies(state, "pff add of 1 file to 32,767", pffCopy, tar, tarCopy,
                      {PffBinary(), "add", "--overwrite", pffCopy, kOneName},
                      {"tar", "rf", tarCopy, kOneName}, "tar rf");
      break;
    case 2:
      CompareOnCopies(state, "pff delete of 1 of 32,767", pffCopy, tar, tarCopy,
                      {PffBinary(), "delete", pffCopy, kOneName},
                      {"tar", "--delete", "-f", tarCopy, std::string("./") + kOneName}, "tar --delete");
      break;
    case 3:
      CompareOnCopies(state, "pff rename of 1 of 32,767", pffCopy, zip, zipCopy,
                      {PffBinary(), "rename", pffCopy, kOneName, "RENAMED.DAT"},
                      {"7z", "rn", "-bso0", zipCopy, kOneName, "RENAMED.DAT"}, "7z rn");
      break;
  }
}

BENCHMARK(BM_AddAgainstZip)
    ->Arg(kFewerFiles)
    ->Arg(kFiles)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_ExtractAllAgainstTar)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ExtractOneAgainstUnzip)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SingleEntryCommands)
    ->DenseRange(0, 3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

int main(int argc, char** argv) { return RunBenchmarks(argc, argv, Work()); }
