#include "engine/entry_file_name.h"

#include "engine/name_helpers.h"
#include "engine/text_encoding.h"

namespace pff {

std::optional<std::string> EntryFileName(const PffEntry& entry) {
  const std::string name = StripNulls(NameBytes(entry.Name));
  // A name that is not one plain component would write outside the chosen folder.
  if (name.empty() || name == "." || name == ".." || name.find_first_of("/\\") != std::string::npos) {
    return std::nullopt;
  }
  return Latin1ToUtf8(name);
}

}  // namespace pff
