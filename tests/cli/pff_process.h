#pragma once
// Runs the built pff as a child process, as a user would, and captures what
// it prints. Header-only because the test folder compiles only *_test.cpp.

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/run_pff.h"
#include "support/scoped_time_zone.h"
#include "support/system_skips.h"
#include "support/temp_dir.h"

namespace pff::test {

struct PffRun {
  int status = -1;  // exit status, or -1 when the child did not exit normally
  std::string out, err;
};

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// One shell word holding exactly these bytes, tabs and escape characters included.
inline std::string ShellWord(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

/// A temporary folder to run pff in. The child runs with TZ=UTC and times of
/// files are set on the UTC clock, so stored entry times are fixed.
class CliTest : public ::testing::Test {
 protected:
#ifdef _WIN32
  /// Runs the tool in this process with the folder as the current one, no
  /// input: a shell under Wine would mangle the bytes of the arguments.
  PffRun Pff(const std::vector<std::string>& args) {
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    std::istringstream in;
    std::ostringstream out, err;
    PffRun run;
    run.status = cli::RunPff(args, in, out, err, false);
    std::filesystem::current_path(before);
    run.out = out.str();
    run.err = err.str();
    return run;
  }
#else
  /// Runs pff with args in the folder, stdin from /dev/null.
  PffRun Pff(const std::vector<std::string>& args) {
    std::string command = "cd " + ShellWord(dir.Path()) + " && exec " + ShellWord(PFF_BINARY);
    for (const std::string& arg : args) command += " " + ShellWord(arg);
    const std::string errPath = errDir.File("stderr");
    std::FILE* child = ::popen((command + " </dev/null 2>" + ShellWord(errPath)).c_str(), "r");
    if (!child) throw std::runtime_error("cannot start " + command);
    PffRun run;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, child)) > 0;) run.out.append(buffer, n);
    const int wstatus = ::pclose(child);
    run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    const std::vector<uint8_t> err = ReadBytes(errPath);
    run.err.assign(err.begin(), err.end());
    return run;
  }
#endif
  /// The names (last column) that "list --tsv" prints for the words after "list".
  std::string ListedNames(std::vector<std::string> args) {
    args.insert(args.begin(), {"list", "--tsv"});
    const PffRun run = Pff(args);
    EXPECT_EQ(run.status, 0) << run.err;
    std::string names;
    const std::vector<std::string> lines = Lines(run.out);
    for (size_t i = 1; i < lines.size(); ++i)
      names += (i > 1 ? " " : "") + lines[i].substr(lines[i].rfind('\t') + 1);
    return names;
  }
  /// Makes the files (name, content) and a new archive of the flavour holding them, added in order.
  void NewArchive(const std::string& name, const std::vector<std::pair<std::string, std::string>>& files,
                  const std::string& flavour = "--df3") {
    ASSERT_EQ(Pff({"new", flavour, name}).status, 0);
    std::vector<std::string> add = {"add", name};
    for (const auto& [file, content] : files) MakeFile(file, content), add.push_back(file);
    ASSERT_EQ(Pff(add).status, 0);
  }
  std::string Path(const std::string& name) const { return dir.File(name); }
  /// Writes a file in the folder, modified at the given UTC reading.
  void MakeFile(const std::string& name, const std::string& content, int year = 2001, int month = 9,
                int day = 9, int hour = 1, int minute = 46, int second = 40) {
    WriteText(Path(name), content);
    SetLocalMTime(Path(name), year, month, day, hour, minute, second);
  }

  ScopedTimeZone utc_{"UTC"};
  TempDir dir, errDir;
};

}  // namespace pff::test
