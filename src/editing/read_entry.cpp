#include "editing/read_entry.h"

#include <algorithm>

#include "engine/binary_file.h"
#include "engine/pff_error.h"

namespace pff {

std::vector<uint8_t> ReadEntryBytes(const std::string& archivePath, const PffEntry& entry, int64_t offset,
                                    size_t maxBytes) {
  if (entry.DataOffset < 0 || entry.DataSize < 0) throw PffError("The entry has a negative offset or size.");
  if (offset < 0 || offset > entry.DataSize) throw PffError("The position lies outside the entry.");
  BinaryFile file = BinaryFile::Open(archivePath, BinaryFile::Mode::Read);
  const int64_t end = static_cast<int64_t>(entry.DataOffset) + entry.DataSize;
  // A damaged directory may point past the end; reading there would show
  // another file's bytes or nothing, so it is refused as a whole.
  if (end > file.Length())
    throw PffError("The entry's data (" + std::to_string(entry.DataSize) + " bytes at " +
                   std::to_string(entry.DataOffset) + ") runs past the end of " + archivePath + ".");
  const size_t n =
      static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(maxBytes), entry.DataSize - offset));
  std::vector<uint8_t> bytes(n);
  if (n > 0) file.ReadExactAt(entry.DataOffset + offset, bytes.data(), n);
  file.Close();
  return bytes;
}

}  // namespace pff
