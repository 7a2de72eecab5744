#include "listing/filter.h"

#include <algorithm>
#include <array>

#include "engine/name_helpers.h"

namespace pff {

namespace {

// IsFiltered runs for every entry on every grid refresh, so it compares bytes
// in place instead of building upper-cased strings. The table is made from
// UpperLatin1 itself so both keep one case rule.
const std::array<unsigned char, 256>& UpperTable() {
  static const std::array<unsigned char, 256> table = [] {
    std::string all(256, '\0');
    for (size_t b = 0; b < all.size(); ++b) all[b] = static_cast<char>(b);
    const std::string upper = UpperLatin1(all);
    std::array<unsigned char, 256> result{};
    for (size_t b = 0; b < result.size(); ++b) result[b] = static_cast<unsigned char>(upper[b]);
    return result;
  }();
  return table;
}

// An entry's name and type, upper-cased, without allocation.
struct NameView {
  unsigned char name[kNameLength];  // all 16 bytes, NUL fill included
  unsigned char type[kNameLength];  // GetFileType of the name
  size_t typeLength = 0;

  NameView(const EntryName& entryName, const std::array<unsigned char, 256>& upper) {
    unsigned char stripped[kNameLength];
    size_t strippedLength = 0;
    for (size_t i = 0; i < kNameLength; ++i) {
      const auto b = static_cast<unsigned char>(entryName[i]);
      name[i] = upper[b];
      if (b != 0) stripped[strippedLength++] = upper[b];
    }
    const unsigned char* end = stripped + strippedLength;
    const unsigned char* dot = std::find(static_cast<const unsigned char*>(stripped), end, '.');
    const unsigned char* typeStart = dot == end ? stripped : dot + 1;
    typeLength = static_cast<size_t>(end - typeStart);
    std::copy(typeStart, end, type);
  }
};

bool EqualsIgnoringCase(const std::string& text, const unsigned char* upperBytes, size_t length,
                        const std::array<unsigned char, 256>& upper) {
  if (text.size() != length) return false;
  for (size_t i = 0; i < length; ++i) {
    if (upper[static_cast<unsigned char>(text[i])] != upperBytes[i]) return false;
  }
  return true;
}

bool ContainsIgnoringCase(const unsigned char* upperName, size_t nameLength, const std::string& text,
                          const std::array<unsigned char, 256>& upper) {
  if (text.size() > nameLength) return false;
  for (size_t start = 0; start + text.size() <= nameLength; ++start) {
    if (EqualsIgnoringCase(text, upperName + start, text.size(), upper)) return true;
  }
  return false;
}

// Elements 1..count take part; a count beyond the list or below 0 must not index past it.
size_t UsableCount(int count, const std::vector<std::string>& list) {
  if (count <= 0) return 0;
  return std::min(static_cast<size_t>(count), list.size());
}

bool ListHasType(const std::vector<std::string>& list, int count, const NameView& view,
                 const std::array<unsigned char, 256>& upper) {
  const size_t usable = UsableCount(count, list);
  for (size_t i = 0; i < usable; ++i) {
    if (EqualsIgnoringCase(list[i], view.type, view.typeLength, upper)) return true;
  }
  return false;
}

}  // namespace

void InitilizeFilter(FilterSettings& filter) { filter = FilterSettings{}; }

bool IsFiltered(const FilterSettings& filter, const PffEntry& entry) {
  if (!filter.Active) return false;
  const std::array<unsigned char, 256>& upper = UpperTable();
  const NameView view(entry.Name, upper);

  if (filter.ExcludeOn && ListHasType(filter.ExcludeList, filter.ExcludeCount, view, upper)) return true;
  if (filter.NameOn && !ContainsIgnoringCase(view.name, kNameLength, filter.NameText, upper)) return true;
  if (filter.IsolateOn && !ListHasType(filter.IsolateList, filter.IsolateCount, view, upper)) return true;
  if (filter.SizeOn && (entry.DataSize < filter.SizeMin || entry.DataSize > filter.SizeMax)) return true;
  if (filter.DateOn && (entry.FileTime < filter.DateFrom || entry.FileTime > filter.DateTo)) return true;
  return false;
}

}  // namespace pff
