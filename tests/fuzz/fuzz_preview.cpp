// The libFuzzer entry point of the preview decoders; built by "./dev fuzz preview" with clang.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "preview_target.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static std::unique_ptr<QApplication> app = std::make_unique<QApplication>(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string fault = pff::fuzz::RunPreviewInput(data, size);
  if (!fault.empty()) {
    std::fprintf(stderr, "fuzz fault: %s\n", fault.c_str());
    std::abort();
  }
  return 0;
}
