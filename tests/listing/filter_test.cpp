#include "listing/filter.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/name_helpers.h"

namespace pff {
namespace {

using namespace std::string_literals;

PffEntry Entry(const std::string& name, int32_t size = 100, int32_t fileTime = 1000) {
  PffEntry entry;
  entry.DataSize = size;
  entry.FileTime = fileTime;
  entry.Name = MakeEntryName(name);
  return entry;
}

FilterSettings ActiveFilter() {
  FilterSettings filter;
  filter.Active = true;
  return filter;
}

void SetList(std::vector<std::string>& list, int& count, std::vector<std::string> items) {
  count = static_cast<int>(items.size());
  if (items.empty()) items.emplace_back();
  list = std::move(items);
}

TEST(Filter, ResetHidesNothing) {
  FilterSettings filter;
  filter.Active = true;
  filter.SizeOn = filter.DateOn = filter.NameOn = filter.IsolateOn = filter.ExcludeOn = true;
  filter.NameText = "x";
  filter.IsolateList = {"A", "B"};
  filter.IsolateCount = 2;
  InitilizeFilter(filter);
  EXPECT_FALSE(filter.Active);
  EXPECT_EQ(filter.IsolateList, std::vector<std::string>{""});
  EXPECT_EQ(filter.ExcludeList, std::vector<std::string>{""});
  EXPECT_EQ(filter.IsolateCount, 0);
  EXPECT_EQ(filter.DateTo, 2147483647);
  EXPECT_EQ(filter.SizeMax, 2147483647);
  EXPECT_TRUE(filter.NameText.empty());
  EXPECT_FALSE(IsFiltered(filter, Entry("a.pcx")));
  filter.Active = true;  // every criterion off
  EXPECT_FALSE(IsFiltered(filter, Entry("a.pcx", -5, -5)));
}

TEST(Filter, InactiveHidesNothingWhateverElseIsOn) {
  FilterSettings filter;
  filter.IsolateOn = true;  // with count 0 this would hide everything
  filter.SizeOn = true;
  filter.SizeMax = 0;
  filter.NameOn = true;
  filter.NameText = "zzz";
  EXPECT_FALSE(IsFiltered(filter, Entry("a.pcx")));
}

TEST(Filter, SizeAndDateBoundsAreInclusive) {
  FilterSettings size = ActiveFilter();
  size.SizeOn = true;
  size.SizeMin = 100;
  size.SizeMax = 200;
  FilterSettings date = ActiveFilter();
  date.DateOn = true;
  date.DateFrom = -50;
  date.DateTo = 50;
  const struct {
    int32_t value;
    bool sizeHidden, dateHidden;
  } cases[] = {
      {-51, true, true}, {-50, true, false}, {50, true, false},  {51, true, true},
      {99, true, true},  {100, false, true}, {200, false, true}, {201, true, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsFiltered(size, Entry("a.pcx", c.value, 0)), c.sizeHidden) << c.value;
    EXPECT_EQ(IsFiltered(date, Entry("a.pcx", 0, c.value)), c.dateHidden) << c.value;
  }
}

TEST(Filter, IsolateKeepsListedTypesOnly) {
  FilterSettings filter = ActiveFilter();
  filter.IsolateOn = true;
  EXPECT_TRUE(IsFiltered(filter, Entry("a.pcx")));  // count 0: nothing matches
  EXPECT_TRUE(IsFiltered(filter, Entry("")));       // not even the empty type

  SetList(filter.IsolateList, filter.IsolateCount, {"wav", "readme", "<dead space>"});
  EXPECT_FALSE(IsFiltered(filter, Entry("x.WAV")));
  EXPECT_FALSE(IsFiltered(filter, Entry("README")));  // no "." : the whole name is the type
  EXPECT_FALSE(IsFiltered(filter, Entry("<DEAD SPACE>")));
  EXPECT_TRUE(IsFiltered(filter, Entry("a.pcx")));
  EXPECT_TRUE(IsFiltered(filter, Entry("x.wav.bak")));  // type is WAV.BAK

  filter.IsolateList = {"PCX ", "PC"};  // exact apart from case
  filter.IsolateCount = 2;
  EXPECT_TRUE(IsFiltered(filter, Entry("a.pcx")));
}

TEST(Filter, OnlyCountedListElementsTakePart) {
  FilterSettings filter = ActiveFilter();
  filter.IsolateOn = true;
  filter.IsolateList = {"WAV", "PCX"};
  filter.IsolateCount = 1;  // "PCX" is a stale element
  EXPECT_TRUE(IsFiltered(filter, Entry("a.pcx")));
  filter.IsolateCount = 50;  // a count past the list must not read beyond it
  EXPECT_FALSE(IsFiltered(filter, Entry("a.pcx")));
  filter.IsolateCount = -3;
  EXPECT_TRUE(IsFiltered(filter, Entry("a.pcx")));

  FilterSettings exclude = ActiveFilter();
  exclude.ExcludeOn = true;
  exclude.ExcludeList = {"WAV", "PCX"};
  exclude.ExcludeCount = 1;
  EXPECT_FALSE(IsFiltered(exclude, Entry("a.pcx")));
  exclude.ExcludeCount = 50;
  EXPECT_TRUE(IsFiltered(exclude, Entry("a.pcx")));
  exclude.ExcludeList.clear();
  EXPECT_FALSE(IsFiltered(exclude, Entry("a.pcx")));
}

TEST(Filter, ExcludeHidesListedTypesAndWinsOverIsolate) {
  FilterSettings filter = ActiveFilter();
  filter.ExcludeOn = true;
  SetList(filter.ExcludeList, filter.ExcludeCount, {"Pcx"});
  EXPECT_TRUE(IsFiltered(filter, Entry("A.PCX")));
  EXPECT_FALSE(IsFiltered(filter, Entry("a.wav")));

  filter.IsolateOn = true;
  SetList(filter.IsolateList, filter.IsolateCount, {"PCX", "WAV"});
  EXPECT_TRUE(IsFiltered(filter, Entry("a.pcx")));  // in both lists
  EXPECT_FALSE(IsFiltered(filter, Entry("a.wav")));
  EXPECT_TRUE(IsFiltered(filter, Entry("a.tga")));
}

TEST(Filter, NameTextMatchesAnywhereInTheSixteenBytes) {
  FilterSettings filter = ActiveFilter();
  filter.NameOn = true;
  const struct {
    const char* text;
    const char* name;
    bool hidden;
  } cases[] = {
      {"", "a.pcx", false},
      {"TEX", "texture.pcx", false},
      {"ure.P", "TEXTURE.pcx", false},
      {"dead", "<DEAD SPACE>", false},
      {"caf\xc9", "caf\xe9.wav", false},  // Latin-1 letters compare without case
      {"wav", "a.pcx", true},
      {"sixteen_chars.ab", "sixteen_chars.ab", false},
      {"seventeen_chars.a", "seventeen_chars.a", true},  // the name keeps only 16 bytes
  };
  for (const auto& c : cases) {
    filter.NameText = c.text;
    EXPECT_EQ(IsFiltered(filter, Entry(c.name)), c.hidden) << c.text << " in " << c.name;
  }
  filter.NameText = std::string("x\0", 2);  // the NUL fill counts as part of the name
  EXPECT_FALSE(IsFiltered(filter, Entry("a.x")));
  EXPECT_TRUE(IsFiltered(filter, Entry("sixteen_chars.ax")));
}

TEST(Filter, TypeIsTheOneGetFileTypeGives) {
  // Odd names: NULs inside, several dots, a leading dot, Latin-1 letters, 16 bytes without a dot.
  const std::string names[] = {"a\0b.p\0cx"s, ".hidden",     "a..b", "x.\xe9t\xe9", "sixteen_chars_ab",
                               "a.b.c.d",     "\0\0\0.wav"s, "",     ".",           "na\xefve.ZIP",
                               "<DEAD SPACE>"};
  FilterSettings filter = ActiveFilter();
  filter.IsolateOn = true;
  for (const std::string& name : names) {
    const PffEntry entry = Entry(name);
    SetList(filter.IsolateList, filter.IsolateCount, {GetFileType(NameBytes(entry.Name))});
    EXPECT_FALSE(IsFiltered(filter, entry)) << name;
    SetList(filter.IsolateList, filter.IsolateCount, {GetFileType(NameBytes(entry.Name)) + "X"});
    EXPECT_TRUE(IsFiltered(filter, entry)) << name;
  }
}

}  // namespace
}  // namespace pff
