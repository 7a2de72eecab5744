#pragma once
// Which entries the grid hides.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/pff_archive.h"

namespace pff {

/// Lists are 1-based in the dialog's terms: only the first *Count elements take part.
struct FilterSettings {
  bool Active = false;
  bool ExcludeOn = false;
  std::vector<std::string> ExcludeList{std::string()};
  int ExcludeCount = 0;
  bool IsolateOn = false;
  std::vector<std::string> IsolateList{std::string()};
  int IsolateCount = 0;
  bool DateOn = false;
  int32_t DateFrom = 0;
  int32_t DateTo = 2147483647;
  bool SizeOn = false;
  int32_t SizeMin = 0;
  int32_t SizeMax = 2147483647;
  bool NameOn = false;
  std::string NameText;  // Latin-1, like entry names
};

/// Every field back to its reset value; both lists hold one empty element.
void InitilizeFilter(FilterSettings& filter);
/// True when the entry is to be hidden.
bool IsFiltered(const FilterSettings& filter, const PffEntry& entry);

}  // namespace pff
