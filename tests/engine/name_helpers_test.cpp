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

TEST(NameHelpers, GetFolderPathAndFileName) {
  // Without "." a folder; a "." anywhere makes it a file path; a NUL marks a dialog multi-selection;
  // an added separator is the one used last.
  // clang-format off
  const Case folders[] = {
      {"C:\\Games\\data.pff", "C:\\Games\\"}, {"C:\\Games", "C:\\Games\\"}, {"C:\\Games\\", "C:\\Games\\"},
      {"C:\\Games\0a.pff\0b.pff"s, "C:\\Games\\"}, {"C:\\\0a.pff"s, "C:\\"}, {"data.pff", ""}, {"", "/"},
      {"C:\\My.Games\\Sub", "C:\\My.Games\\"}, {"/home/u.v/games", "/home/u.v/"}, {"a\\b/c", "a\\b/c/"},
      {"/home/u/games/data.pff", "/home/u/games/"}, {"/home/u/games", "/home/u/games/"},
      {"/home/u/games\0a.pff\0b.pff"s, "/home/u/games/"}, {"/\0a.pff"s, "/"}};
  const Case names[] = {{"C:\\Games\\data.pff", "data.pff"}, {"data.pff", "data.pff"}, {"/home/u/", ""},
      {"a/b\\c", "c"}, {"a\\b/c", "c"}};
  // clang-format on
  for (const Case& c : folders) EXPECT_EQ(GetFolderPath(c.input), c.expected) << c.input;
  for (const Case& c : names) EXPECT_EQ(GetFileName(c.input), c.expected) << c.input;
}

TEST(NameHelpers, PadAndJoin) {
  EXPECT_EQ(PadName16(""), std::string(16, '\0'));
  EXPECT_EQ(PadName16("a.pcx"), "a.pcx" + std::string(11, '\0'));
  EXPECT_EQ(PadName16("sixteen_chars.ab"), "sixteen_chars.ab");
  EXPECT_EQ(PadName16("twenty_characters.ab"), "twenty_characters.ab");
  EXPECT_EQ(NameBytes(MakeEntryName("twenty_characters.ab")), "twenty_character");

  EXPECT_EQ(JoinPath("C:\\Games\\", "a.pcx"), "C:\\Games\\a.pcx");
  EXPECT_EQ(JoinPath("C:\\Games", "a.pcx"), "C:\\Games\\a.pcx");
  EXPECT_EQ(JoinPath("/home/my.games", "a.pcx"), "/home/my.games/a.pcx");  // never cut like GetFolderPath
  EXPECT_EQ(JoinPath("out", "a.pcx"), "out/a.pcx");
}

}  // namespace
}  // namespace pff
