#pragma once
// The archive the benchmarks change and open: the newer flavour with 32,767
// live entries of 16 bytes each, its directory 1.2 MB.

#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/pff_format.h"

namespace bench {

constexpr int kFullCount = 32767;

inline void WriteFullArchive(const std::string& path) {
  pff::PffHeader header = pff::NewHeader(pff::Flavour::New);
  constexpr int32_t kDataBytes = 16;
  header.EntryCount = kFullCount;
  header.DirOffset = pff::kHeaderBytes + kFullCount * kDataBytes;
  std::vector<uint8_t> bytes(static_cast<size_t>(pff::DirectoryEnd(header)), 0);
  pff::EncodeHeader(header, bytes.data());
  for (int i = 0; i < kFullCount; ++i) {
    pff::PffEntry entry;
    entry.DataOffset = pff::kHeaderBytes + i * kDataBytes;
    entry.DataSize = kDataBytes;
    entry.FileTime = 1000000000 + i;
    char name[17];
    std::snprintf(name, sizeof name, "F%05d.DAT", i + 1);
    entry.Name = pff::MakeEntryName(name);
    pff::EncodeRecord(entry, bytes.data() + header.DirOffset + int64_t{i} * header.EntrySize);
  }
  const std::string stamp = std::string(pff::kModifiedStamp) + pff::kVersion;
  std::memcpy(bytes.data() + bytes.size() - stamp.size(), stamp.data(), stamp.size());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace bench
