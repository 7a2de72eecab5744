#include "editing/read_entry.h"

#include <algorithm>

#include "engine/binary_file.h"
#include "engine/entry_region.h"
#include "engine/pff_error.h"
#include "engine/pff_format.h"

namespace pff {

std::vector<uint8_t> ReadEntryBytes(const std::string& archivePath, const PffEntry& entry, int64_t offset,
                                    size_t maxBytes) {
  BinaryFile file = BinaryFile::Open(archivePath, BinaryFile::Mode::Read);
  const int64_t length = file.Length();
  uint8_t header[kHeaderBytes] = {};
  file.ReadAt(0, header, kHeaderBytes);  // a file too short for a header leaves no room for data anyway
  // A damaged directory may point past the end or into the header or the
  // directory; reading there would show another file's bytes or nothing.
  RequireEntryRegion(entry, DecodeHeader(header), length);
  if (offset < 0 || offset > entry.DataSize) throw PffError("The position lies outside the entry.");
  const size_t n =
      static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(maxBytes), entry.DataSize - offset));
  std::vector<uint8_t> bytes(n);
  if (n > 0) file.ReadExactAt(entry.DataOffset + offset, bytes.data(), n);
  file.Close();
  return bytes;
}

}  // namespace pff
