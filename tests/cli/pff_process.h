#pragma once
// Runs the built pff as a child process, as a user would, and captures what
// it prints. Header-only because the test folder compiles only *_test.cpp.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/temp_dir.h"

extern char** environ;

namespace pff::test {

struct PffRun {
  int status = -1;  // exit status, or -1 when the child did not exit normally
  std::string out, err;
};

inline std::string ReadAndClose(std::FILE* file) {
  std::string text;
  std::rewind(file);
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
  std::fclose(file);
  return text;
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

/// A temporary folder to run pff in. The child runs with TZ=UTC and times of
/// files are set on the UTC clock, so stored entry times are fixed.
class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
  }

  /// Runs pff with args in the folder, stdin from /dev/null.
  PffRun Pff(const std::vector<std::string>& args) {
    std::vector<std::string> words = {PFF_BINARY}, env = {"TZ=UTC"};
    words.insert(words.end(), args.begin(), args.end());
    for (char** e = environ; *e; ++e) {
      if (std::string(*e).rfind("TZ=", 0) != 0) env.emplace_back(*e);
    }
    std::vector<char*> argv, envp;
    for (auto& word : words) argv.push_back(word.data());
    for (auto& entry : env) envp.push_back(entry.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);

    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    if (!out || !err) throw std::runtime_error("no temporary file for the child's output");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fileno(out), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fileno(err), STDERR_FILENO);
    posix_spawn_file_actions_addchdir_np(&actions, dir.Path().c_str());
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot start " + words[0]);
    int wstatus = 0;
    while (::waitpid(pid, &wstatus, 0) < 0 && errno == EINTR) {
    }
    return {WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1, ReadAndClose(out), ReadAndClose(err)};
  }
  /// The names (last column) that "list --tsv" prints for the words after "list".
  std::string ListedNames(std::vector<std::string> args) {
    args.insert(args.begin(), {"list", "--tsv"});
    const PffRun run = Pff(args);
    EXPECT_EQ(run.status, 0) << run.err;
    std::string names;
    const std::vector<std::string> lines = Lines(run.out);
    for (size_t i = 1; i < lines.size(); ++i) {
      names += (i > 1 ? " " : "") + lines[i].substr(lines[i].rfind('\t') + 1);
    }
    return names;
  }
  std::string Path(const std::string& name) const { return dir.File(name); }
  /// Writes a file in the folder, modified at the given UTC reading.
  void MakeFile(const std::string& name, const std::string& content, int year = 2001, int month = 9,
                int day = 9, int hour = 1, int minute = 46, int second = 40) {
    WriteText(Path(name), content);
    SetLocalMTime(Path(name), year, month, day, hour, minute, second);
  }

  TempDir dir;
};

}  // namespace pff::test
