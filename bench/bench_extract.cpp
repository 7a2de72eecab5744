// `pff extract --all` of 32,767 small entries against `tar x` of the same
// files, side by side in one run: both set the stored times, neither flushes.
// Goal: at most 1.5 x the time of tar.

#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "cli/run_pff.h"
#include "engine/pff_format.h"

namespace fs = std::filesystem;

namespace {

constexpr int kCount = 32767;
constexpr int32_t kDataBytes = 64;

using Clock = std::chrono::steady_clock;

// Beside the program, on the build's disk, as the engine benchmarks do.
const fs::path& WorkFolder() {
  static const fs::path folder = [] {
    const char* chosen = std::getenv("VELLUM_BENCH_DIR");
    fs::path base = chosen ? fs::path(chosen) : fs::read_symlink("/proc/self/exe").parent_path();
    fs::path path = base / ("bench-extract-" + std::to_string(::getpid()));
    fs::create_directories(path);
    return path;
  }();
  return folder;
}

std::string Work(const std::string& name) { return (WorkFolder() / name).string(); }

const std::string& SmallEntryArchive() {
  static const std::string path = [] {
    pff::PffHeader header = pff::NewHeader(pff::Flavour::New);
    header.EntryCount = kCount;
    header.DirOffset = pff::kHeaderBytes + kCount * kDataBytes;
    std::vector<uint8_t> bytes(static_cast<size_t>(pff::DirectoryEnd(header)), 0);
    pff::EncodeHeader(header, bytes.data());
    for (int i = 0; i < kCount; ++i) {
      pff::PffEntry entry;
      entry.DataOffset = pff::kHeaderBytes + i * kDataBytes;
      entry.DataSize = kDataBytes;
      entry.FileTime = 1000000000 + i;
      char name[17];
      std::snprintf(name, sizeof name, "E%05d.DAT", i + 1);
      entry.Name = pff::MakeEntryName(name);
      std::memset(bytes.data() + entry.DataOffset, 'a' + i % 26, kDataBytes);
      pff::EncodeRecord(entry, bytes.data() + header.DirOffset + int64_t{i} * header.EntrySize);
    }
    const std::string stamp = std::string(pff::kModifiedStamp) + pff::kVersion;
    std::memcpy(bytes.data() + bytes.size() - stamp.size(), stamp.data(), stamp.size());
    std::ofstream(Work("small.pff"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return Work("small.pff");
  }();
  return path;
}

// Runs the command in a child process and returns its wall time in seconds.
double TimeChild(const std::vector<std::string>& args, bool pff) {
  const auto start = Clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (pff) {
      const std::vector<std::string> words(args.begin() + 1, args.end());
      const int status = pff::cli::RunPff(words, std::cin, std::cout, std::cerr, false);
      std::cout.flush();
      ::_exit(status);
    }
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

double pffSeconds = 0, tarSeconds = 0;

void FreshFolder(const std::string& folder) {
  fs::remove_all(folder);
  fs::create_directories(folder);
  ::sync();  // the previous round's dirty pages are not charged to this one
}

void BM_ExtractAllAgainstTar(benchmark::State& state) {
  const std::string archive = SmallEntryArchive();
  const std::string pffOut = Work("pff-out"), tarOut = Work("tar-out"), tarFile = Work("files.tar");
  const std::vector<std::string> pffArgs = {"pff", "extract", "--all", "-C", pffOut, archive};
  double pffTotal = 0, tarTotal = 0;
  for (auto _ : state) {
    FreshFolder(pffOut);
    const double p = TimeChild(pffArgs, true);
    // tar's input: the files pff extracted, packed once.
    if (!fs::exists(tarFile) && TimeChild({"tar", "cf", tarFile, "-C", pffOut, "."}, false) < 0) {
      state.SkipWithError("tar cf failed");
      return;
    }
    FreshFolder(tarOut);
    const double t = TimeChild({"tar", "xf", tarFile, "-C", tarOut}, false);
    if (p < 0 || t < 0) {
      state.SkipWithError("an extraction failed");
      return;
    }
    pffTotal += p;
    tarTotal += t;
    state.SetIterationTime(p);
  }
  pffSeconds = pffTotal / static_cast<double>(state.iterations());
  tarSeconds = tarTotal / static_cast<double>(state.iterations());
  state.counters["tar_s"] = tarSeconds;
  state.counters["ratio"] = pffSeconds / tarSeconds;
}

BENCHMARK(BM_ExtractAllAgainstTar)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  const double ratio = tarSeconds > 0 ? pffSeconds / tarSeconds : 0;
  std::printf("\nSummary (measured, goal, verdict):\n");
  std::printf("  %-44s %.2f s vs tar x %.2f s = %.2f x   goal: <= 1.5 x   %s\n",
              "pff extract --all, 32,767 entries of 64 B", pffSeconds, tarSeconds, ratio,
              ratio > 0 && ratio <= 1.5 ? "ok" : "MISSED");
  benchmark::Shutdown();
  std::error_code ec;
  fs::remove_all(WorkFolder(), ec);
  return 0;
}
