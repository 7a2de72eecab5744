// The preview fuzz target's seeds and every committed input that once failed
// it, run with the normal compiler in the offscreen window system.

#include <gtest/gtest.h>

#include <QApplication>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "preview_target.h"

namespace pff::fuzz {
namespace {

void Replay(const std::string& label, const Bytes& input) {
  EXPECT_EQ(RunPreviewInput(input.data(), input.size()), "") << label;
}

TEST(PreviewFuzzCorpus, EveryInputPassesTheOracle) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "preview_replay";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  for (const auto& [label, input] : PreviewSeeds()) {
    // A seed the decoders refuse would start the fuzzer nowhere.
    EXPECT_EQ(LoadPreviewInput(input.data(), input.size()).error, QString()) << label;
    Replay(label, input);
  }
  if (!std::filesystem::is_directory(PREVIEW_CORPUS_DIR)) return;
  for (const auto& item : std::filesystem::directory_iterator(PREVIEW_CORPUS_DIR)) {
    std::ifstream in(item.path(), std::ios::binary);
    Replay(item.path().filename().string(), Bytes(std::istreambuf_iterator<char>(in), {}));
  }
}

}  // namespace
}  // namespace pff::fuzz
