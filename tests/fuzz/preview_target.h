#pragma once
// One preview fuzz run: the input's bytes (after the byte that chooses the
// entry's name) become an entry between other bytes of a file, and the
// preview's worker routine reads and decodes it as the pane would. The
// oracle, besides the sanitizers: a refusal names its routine, and what is
// shown stays within the limits the pane promises. The caller provides the
// QApplication. Header-only so that the libFuzzer program and the replay test share it.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "engine/pff_archive.h"
#include "engine/pff_format.h"
#include "preview_seeds.h"
#include "ui/preview/preview_loader.h"

namespace pff::fuzz {

inline std::string PreviewScratchFile() {
  static const std::string path = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "vellum-preview-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no scratch folder");
    return pattern + "/entry.pff";
  }();
  return path;
}

/// The preview of one input (size at least 1), as the pane's worker makes it.
inline PreviewResult LoadPreviewInput(const uint8_t* data, size_t size) {
  const std::string path = PreviewScratchFile();
  constexpr size_t kAfter = 7;  // bytes of the directory behind the entry
  {
    // A header whose directory starts right behind the entry: the entry's region is sound.
    const PffHeader header{20, {'P', 'F', 'F', '3'}, 1, 36, static_cast<int32_t>(kHeaderBytes + size - 1)};
    uint8_t head[kHeaderBytes];
    EncodeHeader(header, head);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(head), kHeaderBytes);
    out.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    out << std::string(kAfter, '\xBB');
  }
  PffEntry entry;
  entry.DataOffset = static_cast<int32_t>(kHeaderBytes);
  entry.DataSize = static_cast<int32_t>(size - 1);
  entry.Name = MakeEntryName(PreviewNames()[(data[0] & 0x7F) % PreviewNames().size()]);
  return LoadPreview({path, entry, (data[0] & 0x80) ? 0 : -1}, [] { return false; });
}

/// Runs one input; "" when all went well, else a description of the fault.
inline std::string RunPreviewInput(const uint8_t* data, size_t size) {
  if (size == 0) return {};
  const PreviewResult r = LoadPreviewInput(data, size);
  const int64_t entrySize = static_cast<int64_t>(size) - 1;
  if (!r.error.isEmpty()) return r.error.startsWith("Error in ") ? "" : "a refusal without its routine";
  if (r.bytes.size() > kHexPageBytes || r.bytes.size() > entrySize) return "more bytes than the entry holds";
  switch (r.kind) {
    case pff::PreviewKind::Image:
    case pff::PreviewKind::Pcx:
      if (r.image.isNull() || r.info.isEmpty()) return "an image without pixels or description";
      if (r.image.width() > kShownImageSide || r.image.height() > kShownImageSide)
        return "an image larger than the pane keeps";
      break;
    case pff::PreviewKind::Sound:
      if (r.wav.dataOffset + r.wav.dataSize > entrySize) return "sound data past the entry";
      break;
    case pff::PreviewKind::Text:
      if (r.text.size() > kMaxTextBytes || !r.document) return "text past the limit or not laid out";
      break;
    default:
      break;
  }
  return {};
}

}  // namespace pff::fuzz
