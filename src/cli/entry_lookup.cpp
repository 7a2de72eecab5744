#include "cli/entry_lookup.h"

#include <unordered_map>

#include "cli/commands.h"
#include "engine/control_text.h"
#include "engine/name_helpers.h"
#include "engine/text_encoding.h"

namespace pff::cli {

namespace {

// The name's bytes without NULs, upper-cased, equal wanted (already upper-cased).
bool NamedAs(const EntryName& name, const std::string& wanted) {
  size_t matched = 0;
  for (char c : name) {
    if (c == '\0') continue;
    if (matched == wanted.size() || UpperLatin1Char(c) != wanted[matched]) return false;
    ++matched;
  }
  return matched == wanted.size();
}

}  // namespace

int FindEntry(const PffArchive& archive, const std::string& utf8Name) {
  const std::string wanted = UpperLatin1(Utf8ToLatin1(utf8Name));
  const int count = static_cast<int>(archive.Entries.size());
  for (int i = 1; i <= count; ++i) {
    if (NamedAs(archive.Entry(i).Name, wanted)) return i;
  }
  return 0;
}

std::vector<int> FindNamedEntries(const PffArchive& archive, const std::vector<std::string>& names,
                                  size_t first, std::ostream& err, int& status) {
  // Many names are looked up in a table of first entries by name, made once.
  std::unordered_map<std::string, int> firstOfName;
  if (names.size() > first + 1) {
    for (int i = static_cast<int>(archive.Entries.size()); i >= 1; --i)
      firstOfName[UpperLatin1(StripNulls(NameBytes(archive.Entry(i).Name)))] = i;
  }
  std::vector<int> indices;
  for (size_t i = first; i < names.size(); ++i) {
    int index = 0;
    if (firstOfName.empty()) {
      index = FindEntry(archive, names[i]);
    } else if (const auto found = firstOfName.find(UpperLatin1(Utf8ToLatin1(names[i])));
               found != firstOfName.end()) {
      index = found->second;
    }
    if (index == 0) {
      err << "pff: " << EscapeControls(names[i] + ": no such entry in " + archive.Path) << "\n";
      status = kExitFailed;
      continue;
    }
    indices.push_back(index);
  }
  return indices;
}

bool OpenSingle(ArchiveTable& table, const std::string& path, Frontend& port) {
  return OpenFile(table, path, port) && table.Count() == 1;
}

}  // namespace pff::cli
