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

FilterSettings ActiveFilter() {
  FilterSettings filter;
  filter.Active = true;
  return filter;
}

TEST(Filter, ResetOrInactiveHidesNothing) {
  FilterSettings filter;
  filter.SizeOn = filter.DateOn = filter.NameOn = filter.IsolateOn = filter.ExcludeOn = true;
  filter.SizeMax = filter.DateTo = 0;
  filter.NameText = "zzz";
  EXPECT_FALSE(IsFiltered(filter, Entry("a.pcx")));
  filter.Active = true;
  EXPECT_TRUE(IsFiltered(filter, Entry("a.pcx")));

  InitilizeFilter(filter);
  filter.Active = true;  // every criterion off
  EXPECT_FALSE(IsFiltered(filter, Entry("a.pcx", -5, -5)));
}

TEST(Filter, SizeAndDateBoundsAreInclusive) {
  FilterSettings size = ActiveFilter(), date = ActiveFilter();
  size.SizeOn = date.DateOn = true;
  size.SizeMin = 100;
  size.SizeMax = 200;
  date.DateFrom = -50;
  date.DateTo = 50;
  const std::tuple<int32_t, bool, bool> cases[] = {{-51, true, true},  {-50, true, false}, {50, true, false},
                                                   {51, true, true},   {99, true, true},   {100, false, true},
                                                   {200, false, true}, {201, true, true}};
  for (const auto& [value, sizeHidden, dateHidden] : cases) {
    EXPECT_EQ(IsFiltered(size, Entry("a.pcx", value, 0)), sizeHidden) << value;
    EXPECT_EQ(IsFiltered(date, Entry("a.pcx", 0, value)), dateHidden) << value;
  }
}

TEST(Filter, TypeListsSetByTheHelper) {
  FilterSettings filter = ActiveFilter();
  filter.IsolateOn = true;
  EXPECT_TRUE(IsFiltered(filter, Entry("a.pcx")));  // an empty isolate list keeps nothing
  EXPECT_TRUE(IsFiltered(filter, Entry("")));       // not even the empty type

  SetTypeList(filter, TypeList::Isolate, {"TGA"});
  SetTypeList(filter, TypeList::Isolate, {"wav", "PCX ", "PC", "readme", "\xc3\xa9t\xc3\xa9"});
  SetTypeList(filter, TypeList::Exclude, {"Wav"});
  // Exact apart from case (Latin-1 too); the list replaced is gone; a type in both lists is hidden.
  const std::pair<const char*, bool> cases[] = {
      {"README", false}, {"b.\xc9T\xc9", false}, {"a.pcx", true}, {"a.tga", true}, {"x.WAV", true}};
  for (const auto& [name, hidden] : cases) EXPECT_EQ(IsFiltered(filter, Entry(name)), hidden) << name;
  SetTypeList(filter, TypeList::Exclude, {});
  EXPECT_FALSE(IsFiltered(filter, Entry("x.WAV")));
}

TEST(Filter, NameTextMatchesAnywhereInTheSixteenBytes) {
  FilterSettings filter = ActiveFilter();
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

TEST(Filter, TypeIsTheOneGetFileTypeGives) {
  // Odd names: NULs inside, several dots, a leading dot, Latin-1 letters, 16 bytes without a dot.
  FilterSettings filter = ActiveFilter();
  filter.IsolateOn = true;
  for (const std::string& name : {"a\0b.p\0cx"s, ".hidden"s, "a..b"s, "x.\xe9t\xe9"s, "sixteen_chars_ab"s,
                                  "\0\0\0.wav"s, ""s, "."s, "<DEAD SPACE>"s}) {
    const PffEntry entry = Entry(name);
    filter.IsolateList = {GetFileType(NameBytes(entry.Name))};
    EXPECT_FALSE(IsFiltered(filter, entry)) << name;
    filter.IsolateList = {GetFileType(NameBytes(entry.Name)) + "X"};
    EXPECT_TRUE(IsFiltered(filter, entry)) << name;
  }
}

}  // namespace
}  // namespace pff
