// Writes the preview fuzz target's seeds into the folder given, for "./dev fuzz preview".

#include <cstdio>
#include <fstream>
#include <string>

#include "preview_seeds.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_preview_seeds FOLDER\n");
    return 2;
  }
  for (const auto& [label, bytes] : pff::fuzz::PreviewSeeds()) {
    std::ofstream(std::string(argv[1]) + "/seed-" + label, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  return 0;
}
