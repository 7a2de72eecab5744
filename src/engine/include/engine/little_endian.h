#pragma once
// Numbers in the files this program writes beside archives (journals, undo
// steps) are little-endian, whatever the machine.

#include <cstdint>

namespace pff {

/// Writes the low `bytes` bytes of value to out, least significant first.
inline void PutLittleEndian(uint8_t* out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

/// Reads `bytes` bytes from in, least significant first.
inline uint64_t GetLittleEndian(const uint8_t* in, int bytes) {
  uint64_t value = 0;
  for (int i = 0; i < bytes; ++i) value |= uint64_t{in[i]} << (8 * i);
  return value;
}

}  // namespace pff
