// The libFuzzer entry point; built by "./dev fuzz" with clang.

#include <cstdio>
#include <cstdlib>

#include "archive_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string fault = pff::fuzz::RunArchiveInput(data, size);
  if (!fault.empty()) {
    std::fprintf(stderr, "fuzz fault: %s\n", fault.c_str());
    std::abort();
  }
  return 0;
}
