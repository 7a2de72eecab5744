#include "cli/entry_lookup.h"

#include "cli/commands.h"
#include "engine/control_text.h"
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

std::vector<int> FindNamedEntries(const PffArchive& archive, const std::vector<std::string>& names,
                                  size_t first, std::ostream& err, int& status) {
  std::vector<int> indices;
  for (size_t i = first; i < names.size(); ++i) {
    int index = FindEntry(archive, names[i]);
    if (index == 0) {
      err << "pff: " << EscapeControls(names[i] + ": no such entry in " + archive.Path) << "\n";
      status = kExitFailed;
      continue;
    }
    indices.push_back(index);
  }
  return indices;
}

bool OpenSingle(ArchiveTable& table, const std::string& path, WindowPort& port) {
  return OpenFile(table, path, port) && table.Count() == 1;
}

}  // namespace pff::cli
