#pragma once
// Every byte the program reads from or writes to an archive file: header,
// directory records, the footer stamps and the layout of a new archive.

#include <cstdint>
#include <vector>

#include "engine/binary_file.h"
#include "engine/pff_archive.h"

namespace pff {

enum class Flavour {
  Old,  // "DF1/DF2 Format": header size 62, 32-byte records, directory at 20
  New,  // "DF3 (DF:LW) Format": header size 20, 36-byte records, directory at 62
};

constexpr const char* kCreatedStamp = "Created With Tav Oskin's Vellumcraft v";        // + kVersion
constexpr const char* kModifiedStamp = "KING, Modified By Tav Oskin's Vellumcraft v";  // + kVersion
constexpr int kFooterZeros = 8;
constexpr int32_t kMaxEntrySize = 4096;  // widest record accepted; real archives use 32 or 36

/// The header of a new, empty archive of a flavour.
PffHeader NewHeader(Flavour flavour);
/// The 73 bytes of a new archive.
std::vector<uint8_t> NewArchiveBytes(Flavour flavour);

/// Distance between records on disk: 32 for EntrySize up to 32, else EntrySize.
int64_t RecordStride(const PffHeader& header);
/// Offset just past the footer stamp that WriteDirectoryTo writes.
int64_t DirectoryEnd(const PffHeader& header);

void EncodeHeader(const PffHeader& header, uint8_t out[kHeaderBytes]);
PffHeader DecodeHeader(const uint8_t in[kHeaderBytes]);
void EncodeRecord(const PffEntry& entry, uint8_t out[kRecordBytes]);
PffEntry DecodeRecord(const uint8_t in[kRecordBytes]);

/// Reads and checks header and directory. Throws PffError when the file is
/// shorter than a header, the count is below 0 or above 32767, records are
/// wider than 4,096 bytes, or the directory does not lie inside the file
/// behind the header. A count of 0 is always accepted.
void ReadArchive(BinaryFile& file, PffHeader& header, std::vector<PffEntry>& entries);
/// Throws PffError when writing the directory of header would put it inside
/// the 20-byte header or space its records wider than 4,096 bytes (possible
/// in archives of 0 entries, which are read whatever their fields).
void CheckWritableLayout(const PffHeader& header);
void WriteHeader(BinaryFile& file, const PffHeader& header);
/// What WriteDirectoryTo writes at DirOffset.
std::vector<uint8_t> DirectoryBytes(const PffHeader& header, const std::vector<PffEntry>& entries);
/// The whole directory at DirOffset, 8 zero bytes and the modification stamp.
/// Record bytes past the first 32 are written as 0.
void WriteDirectoryTo(BinaryFile& file, const PffHeader& header, const std::vector<PffEntry>& entries);

}  // namespace pff
