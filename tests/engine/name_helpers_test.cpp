#include "engine/name_helpers.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/pff_archive.h"

namespace pff {
namespace {

using namespace std::string_literals;

struct Case {
  std::string input, expected;
};

TEST(NameHelpers, GetFileType) {
  // NULs anywhere are ignored; without "." the whole name; Latin-1 letters too, but F7 FF DF stay.
  const Case cases[] = {{"a.tar.gz", "TAR.GZ"},
                        {"readme", "README"},
                        {"name.", ""},
                        {"intro.pcx\0\0\0\0\0\0\0"s, "PCX"},
                        {"\0\0x.wav"s, "WAV"},
                        {"<DEAD SPACE>\0\0\0\0"s, "<DEAD SPACE>"},
                        {"x.\xe0\xfe\xe9\xf7\xff\xdf", "\xc0\xde\xc9\xf7\xff\xdf"}};
  for (const Case& c : cases) EXPECT_EQ(GetFileType(c.input), c.expected) << c.input;
}

TEST(NameHelpers, PathsAndNames) {
  const Case names[] = {{"C:\\Games\\data.pff", "data.pff"},
                        {"data.pff", "data.pff"},
                        {"/home/u/", ""},
                        {"a/b\\c", "c"},
                        {"a\\b/c", "c"}};
  for (const Case& c : names) EXPECT_EQ(GetFileName(c.input), c.expected) << c.input;
  // The folder keeps its own separator; a "." in a folder name is no file name.
  const Case joins[] = {{"C:\\Games\\", "C:\\Games\\a.pcx"},
                        {"C:\\Games", "C:\\Games\\a.pcx"},
                        {"/home/my.games", "/home/my.games/a.pcx"},
                        {"out", "out/a.pcx"}};
  for (const Case& c : joins) EXPECT_EQ(JoinPath(c.input, "a.pcx"), c.expected) << c.input;

  EXPECT_EQ(NameBytes(MakeEntryName("twenty_characters.ab")), "twenty_character");
}

}  // namespace
}  // namespace pff
