#include "cli/add_names.h"

#include "engine/control_text.h"
#include "engine/name_helpers.h"
#include "engine/pff_archive.h"
#include "engine/text_encoding.h"

namespace pff::cli {

std::string StoredNameOf(const std::string& path) {
  return DisplayName(MakeEntryName(Utf8ToLatin1(GetFileName(path))));
}

bool AddNames::Admit(const std::string& path, std::ostream& err) {
  const std::string fileName = GetFileName(path);
  const std::string stored = StoredNameOf(path);
  const std::string key = UpperLatin1(Utf8ToLatin1(stored));
  const auto [earlier, isNew] = taken_.emplace(key, path);
  if (!isNew) {
    // Even with --overwrite: the second file would silently replace the first.
    err << "pff: " << EscapeControls(path) << " not added: it would be stored as \"" << EscapeControls(stored)
        << "\", the name already given to " << EscapeControls(earlier->second) << " in this command\n";
    return false;
  }
  if (stored != fileName) {
    err << "pff: warning: " << EscapeControls(path) << " is stored as \"" << EscapeControls(stored)
        << "\" (names keep 16 Latin-1 characters)\n";
  }
  return true;
}

}  // namespace pff::cli
