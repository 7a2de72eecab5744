#include "listing/filter.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

#include "engine/name_helpers.h"

namespace pff {
namespace {

using namespace std::string_literals;

PffEntry Entry(const std::string& name, int32_t size = 100, int32_t fileTime = 1000) {
  return PffEntry{0, 0, size, fileTime, MakeEntryName(name)};
}

TEST(Filter, ResetOrInactiveHidesNothing) {
  FilterSettings filter;
  filter.SizeOn = filter.DateOn = filter.NameOn = filter.IsolateOn = filter.ExcludeOn = true;
  filter.NameText = "zzz";
  EXPECT_FALSE(IsFiltered(filter, Entry("a.pcx")));
  filter.Active = true;
  EXPECT_TRUE(IsFiltered(filter, Entry("a.pcx")));
  filter = FilterSettings{};
  filter.Active = true;  // every criterion off
  EXPECT_FALSE(IsFiltered(filter, Entry("a.pcx", -5, -5)));
}

TEST(Filter, SizeAndDateBoundsAreInclusive) {
  FilterSettings size, date;
  size.Active = date.Active = size.SizeOn = date.DateOn = true;
  size.SizeMin = date.DateFrom = -50;
  size.SizeMax = date.DateTo = 50;
  for (const auto& [value, hidden] : {std::pair{-51, true}, {-50, false}, {50, false}, {51, true}}) {
    EXPECT_EQ(IsFiltered(size, Entry("a.pcx", value, 0)), hidden) << value;
    EXPECT_EQ(IsFiltered(date, Entry("a.pcx", 0, value)), hidden) << value;
  }
}

TEST(Filter, TypeListsSetByTheHelper) {
  FilterSettings filter;
  filter.Active = true;
  filter.IsolateOn = true;
  EXPECT_TRUE(IsFiltered(filter, Entry("a.pcx")));  // an empty isolate list keeps nothing
  EXPECT_TRUE(IsFiltered(filter, Entry("")));       // not even the empty type

  SetTypeList(filter, TypeList::Isolate, {"TGA"});
  EXPECT_FALSE(filter.ExcludeOn);  // only the list set is switched on
  SetTypeList(filter, TypeList::Isolate, {"wav", "PCX ", "PC", "readme", "\xc3\xa9t\xc3\xa9"});
  SetTypeList(filter, TypeList::Exclude, {"Wav"});
  // Exact apart from case (Latin-1 too); the list replaced is gone; a type in both lists is hidden.
  const std::pair<const char*, bool> cases[] = {
      {"README", false}, {"b.\xc9T\xc9", false}, {"a.pcx", true}, {"a.tga", true}, {"x.WAV", true}};
  for (const auto& [name, hidden] : cases) EXPECT_EQ(IsFiltered(filter, Entry(name)), hidden) << name;
  SetTypeList(filter, TypeList::Exclude, {});
  EXPECT_FALSE(IsFiltered(filter, Entry("x.WAV")));

  // The type compared is GetFileType's, also for NULs inside, several or leading dots, no dot.
  for (const std::string& name : {"a\0b.p\0cx"s, ".hidden"s, "a..b"s, "x.\xe9t\xe9"s, "sixteen_chars_ab"s,
                                  "\0\0\0.wav"s, ""s, "."s, "<DEAD SPACE>"s}) {
    const PffEntry entry = Entry(name);
    filter.IsolateList = {GetFileType(NameBytes(entry.Name))};
    EXPECT_FALSE(IsFiltered(filter, entry)) << name;
    filter.IsolateList = {GetFileType(NameBytes(entry.Name)) + "X"};
    EXPECT_TRUE(IsFiltered(filter, entry)) << name;
  }
}

TEST(Filter, NameTextMatchesAnywhereInTheSixteenBytes) {
  FilterSettings filter;
  filter.Active = true;
  filter.NameOn = true;
  // Latin-1 letters compare without case; the name keeps only 16 bytes; its NUL fill takes part.
  // clang-format off
  const std::tuple<std::string, const char*, bool> cases[] = {
      {"", "a.pcx", false}, {"ure.P", "TEXTURE.pcx", false}, {"caf\xc9", "caf\xe9.wav", false},
      {"wav", "a.pcx", true}, {"sixteen_chars.ab", "sixteen_chars.ab", false},
      {"seventeen_chars.a", "seventeen_chars.a", true},
      {"x\0"s, "a.x", false}, {"x\0"s, "sixteen_chars.ax", true}};
  // clang-format on
  for (const auto& [text, name, hidden] : cases) {
    filter.NameText = text;
    EXPECT_EQ(IsFiltered(filter, Entry(name)), hidden) << text << " in " << name;
  }
}

}  // namespace
}  // namespace pff
