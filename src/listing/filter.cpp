#include "listing/filter.h"

#include <algorithm>

#include "engine/name_helpers.h"
#include "engine/text_encoding.h"

namespace pff {

namespace {

// IsFiltered runs for every entry on every grid refresh, so it compares bytes
// in place instead of building upper-cased strings.

// An entry's name and type, upper-cased, without allocation.
struct NameView {
  unsigned char name[kNameLength];  // all 16 bytes, NUL fill included
  unsigned char type[kNameLength];  // GetFileType of the name
  size_t typeLength = 0;

  explicit NameView(const EntryName& entryName) {
    unsigned char stripped[kNameLength];
    size_t strippedLength = 0;
    for (size_t i = 0; i < kNameLength; ++i) {
      const auto b = static_cast<unsigned char>(UpperLatin1Char(entryName[i]));
      name[i] = b;
      if (b != 0) stripped[strippedLength++] = b;
    }
    const unsigned char* end = stripped + strippedLength;
    const unsigned char* dot = std::find(static_cast<const unsigned char*>(stripped), end, '.');
    const unsigned char* typeStart = dot == end ? stripped : dot + 1;
    typeLength = static_cast<size_t>(end - typeStart);
    std::copy(typeStart, end, type);
  }
};

bool EqualsIgnoringCase(const std::string& text, const unsigned char* upperBytes, size_t length) {
  if (text.size() != length) return false;
  for (size_t i = 0; i < length; ++i) {
    if (static_cast<unsigned char>(UpperLatin1Char(text[i])) != upperBytes[i]) return false;
  }
  return true;
}

bool ContainsIgnoringCase(const unsigned char* upperName, size_t nameLength, const std::string& text) {
  if (text.size() > nameLength) return false;
  for (size_t start = 0; start + text.size() <= nameLength; ++start) {
    if (EqualsIgnoringCase(text, upperName + start, text.size())) return true;
  }
  return false;
}

bool ListHasType(const std::vector<std::string>& list, const NameView& view) {
  for (const std::string& type : list) {
    if (EqualsIgnoringCase(type, view.type, view.typeLength)) return true;
  }
  return false;
}

}  // namespace

void SetTypeList(FilterSettings& filter, TypeList which, const std::vector<std::string>& utf8Types) {
  std::vector<std::string>& list = which == TypeList::Isolate ? filter.IsolateList : filter.ExcludeList;
  list.clear();
  for (const std::string& type : utf8Types) list.push_back(Utf8ToLatin1(type));
  (which == TypeList::Isolate ? filter.IsolateOn : filter.ExcludeOn) = true;
}

bool IsFiltered(const FilterSettings& filter, const PffEntry& entry) {
  if (!filter.Active) return false;
  const NameView view(entry.Name);

  if (filter.ExcludeOn && ListHasType(filter.ExcludeList, view)) return true;
  if (filter.NameOn && !ContainsIgnoringCase(view.name, kNameLength, filter.NameText)) return true;
  if (filter.IsolateOn && !ListHasType(filter.IsolateList, view)) return true;
  if (filter.SizeOn && (entry.DataSize < filter.SizeMin || entry.DataSize > filter.SizeMax)) return true;
  if (filter.DateOn && (entry.FileTime < filter.DateFrom || entry.FileTime > filter.DateTo)) return true;
  return false;
}

}  // namespace pff
