#pragma once
// What the command-line benchmarks share: a work folder on the build's disk,
// whole programs run to their end with their time and memory, medians, and
// the summary that prints each figure beside its goal after the table.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace bench {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

/// A folder beside the benchmark program, on the build's disk (a
/// memory-backed /tmp would flatter the file figures); VELLUM_BENCH_DIR
/// chooses another place.
inline const fs::path& WorkFolder(const std::string& name) {
  static const fs::path folder = [&] {
    const char* chosen = std::getenv("VELLUM_BENCH_DIR");
    fs::path base = chosen ? fs::path(chosen) : fs::read_symlink("/proc/self/exe").parent_path();
    fs::path path = base / (name + "-" + std::to_string(::getpid()));
    fs::create_directories(path);
    // Undo steps of the benchmarks' archives go with them, not into the user's state folder.
    ::setenv("XDG_STATE_HOME", (path / "state").c_str(), 1);
    return path;
  }();
  return folder;
}

/// The pff program built beside the benchmark.
inline std::string PffBinary() { return (fs::read_symlink("/proc/self/exe").parent_path() / "pff").string(); }

/// A program run to its end with its output discarded: wall time, processor
/// time (user and system) and peak memory; Seconds is -1 when it failed.
struct ProcessRun {
  double Seconds = -1;
  double CpuSeconds = -1;
  double PeakMiB = -1;
};

inline ProcessRun RunProcess(const std::vector<std::string>& args, const std::string& folder = "") {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  auto start = Clock::now();
  pid_t pid = ::fork();
  if (pid == 0) {
    int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDOUT_FILENO);
    ::dup2(null, STDERR_FILENO);
    if (!folder.empty() && ::chdir(folder.c_str()) != 0) ::_exit(126);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  rusage usage{};
  if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return {};
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return {Seconds(start), seconds(usage.ru_utime) + seconds(usage.ru_stime),
          static_cast<double>(usage.ru_maxrss) / 1024.0};
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n == 0 ? 0 : (n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2);
}

/// Figures for the summary, by line label, in the order first reported.
inline std::vector<std::pair<std::string, std::string>>& Summary() {
  static std::vector<std::pair<std::string, std::string>> lines;
  return lines;
}

inline void Report(const std::string& label, const std::string& text) {
  for (auto& line : Summary()) {
    if (line.first == label) {
      line.second = text;
      return;
    }
  }
  Summary().emplace_back(label, text);
}

inline std::string Format(const char* pattern, double a, double b = 0, double c = 0, double d = 0) {
  char text[200];
  std::snprintf(text, sizeof text, pattern, a, b, c, d);
  return text;
}

inline const char* Verdict(bool ok) { return ok ? "ok" : "MISSED"; }

/// The main of a command benchmark: runs the registered benchmarks, prints
/// the summary and removes the work folder.
inline int RunBenchmarks(int argc, char** argv, const fs::path& work) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  std::printf("\nSummary (measured, goal, verdict):\n");
  for (const auto& [label, text] : Summary()) std::printf("  %-44s %s\n", label.c_str(), text.c_str());
  benchmark::Shutdown();
  std::error_code ec;
  fs::remove_all(work, ec);
  return 0;
}

}  // namespace bench
