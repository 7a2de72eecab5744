// Every committed fuzz input (the seeds and each input that ever failed) run
// through the fuzz target with the normal compiler.

#include <gtest/gtest.h>

#include <filesystem>

#include "archive_target.h"

namespace pff::fuzz {
namespace {

int ReplayFolder(const fs::path& folder) {
  int inputs = 0;
  for (const auto& item : fs::directory_iterator(folder)) {
    if (!item.is_regular_file()) continue;
    const std::vector<uint8_t> bytes = ReadFileBytes(item.path());
    EXPECT_EQ(RunArchiveInput(bytes.data(), bytes.size()), "") << item.path().filename();
    ++inputs;
  }
  return inputs;
}

TEST(FuzzCorpus, EveryInputPassesTheOracle) { EXPECT_GT(ReplayFolder(FUZZ_CORPUS_DIR), 0); }

}  // namespace
}  // namespace pff::fuzz
