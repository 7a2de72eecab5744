#pragma once
// Which entries the grid hides.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/pff_archive.h"

namespace pff {

/// The advanced filter. A default-made one is the reset state: nothing on, both type lists empty.
struct FilterSettings {
  bool Active = false;
  bool ExcludeOn = false;
  std::vector<std::string> ExcludeList;  // types to hide, Latin-1
  bool IsolateOn = false;
  std::vector<std::string> IsolateList;  // types to keep, Latin-1; empty keeps nothing
  bool DateOn = false;
  int32_t DateFrom = 0;
  int32_t DateTo = 2147483647;
  bool SizeOn = false;
  int32_t SizeMin = 0;
  int32_t SizeMax = 2147483647;
  bool NameOn = false;
  std::string NameText;  // Latin-1, like entry names
};

enum class TypeList { Isolate, Exclude };

/// Replaces the isolate or exclude list by utf8Types (stored as Latin-1) and switches
/// that criterion on; Active and the other list are left as they are.
void SetTypeList(FilterSettings& filter, TypeList which, const std::vector<std::string>& utf8Types);
/// True when the entry is to be hidden.
bool IsFiltered(const FilterSettings& filter, const PffEntry& entry);

}  // namespace pff
