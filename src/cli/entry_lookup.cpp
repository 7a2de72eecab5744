#include "cli/entry_lookup.h"

#include "engine/name_helpers.h"
#include "engine/text_encoding.h"

namespace pff::cli {

int FindEntry(const PffArchive& archive, const std::string& utf8Name) {
  const std::string wanted = UpperLatin1(Utf8ToLatin1(utf8Name));
  const int count = static_cast<int>(archive.Entries.size());
  for (int i = 1; i <= count; ++i) {
    if (UpperLatin1(StripNulls(NameBytes(archive.Entry(i).Name))) == wanted) return i;
  }
  return 0;
}

std::string DisplayName(const PffEntry& entry) { return Latin1ToUtf8(StripNulls(NameBytes(entry.Name))); }

bool OpenSingle(ArchiveTable& table, const std::string& path, WindowPort& port) {
  return OpenFile(table, path, port) && table.Count() == 1;
}

}  // namespace pff::cli
