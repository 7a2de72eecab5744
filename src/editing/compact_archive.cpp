#include "editing/compact_archive.h"

namespace pff {

int64_t ReclaimableBytes(const PffArchive&) { return 0; }

std::optional<CompactResult> CompactArchive(PffArchive&, bool, WindowPort& port) {
  port.ReportError("CompactArchive", "Compacting is not built yet.");
  return std::nullopt;
}

}  // namespace pff
