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

TEST(NameHelpers, StripNullsRemovesEveryNul) {
  EXPECT_EQ(StripNulls("a\0b\0\0c\0"s), "abc");
  EXPECT_EQ(StripNulls(std::string(16, '\0')), "");
  EXPECT_EQ(StripNulls(""), "");
}

TEST(NameHelpers, GetFileType) {
  const Case cases[] = {
      {"TEXTURE.pcx", "PCX"},
      {"a.tar.gz", "TAR.GZ"},
      {"README", "README"},
      {"readme", "README"},
      {"name.", ""},
      {"", ""},
      {"intro.pcx\0\0\0\0\0\0\0"s, "PCX"},
      {"\0\0x.wav"s, "WAV"},             // NULs anywhere are ignored
      {"<DEAD SPACE>", "<DEAD SPACE>"},  // no "." so the whole name
      {"caf\xe9.b\xe9t", "B\xc9T"},      // Latin-1 letters upper-case too
      {"x.\xf7\xff", "\xf7\xff"},        // division sign and y-diaeresis have no capital
  };
  for (const Case& c : cases) EXPECT_EQ(GetFileType(c.input), c.expected) << c.input;
  EXPECT_EQ(GetFileType(NameBytes(DeadSpaceName())), "<DEAD SPACE>");
}

TEST(NameHelpers, UpperLatin1Range) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::string upper = UpperLatin1(all);
  for (int b = 1; b < 256; ++b) {
    const bool lower = (b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7);
    EXPECT_EQ(static_cast<unsigned char>(upper[static_cast<size_t>(b - 1)]), lower ? b - 0x20 : b) << b;
  }
}

TEST(NameHelpers, GetFolderPath) {
  const Case cases[] = {
      {"C:\\Games\\data.pff", "C:\\Games\\"},
      {"C:\\Games", "C:\\Games\\"},
      {"C:\\Games\\", "C:\\Games\\"},
      {"C:\\Games\0a.pff\0b.pff"s, "C:\\Games\\"},
      {"C:\\\0a.pff"s, "C:\\"},
      {"data.pff", ""},
      {"C:\\My.Games\\Sub", "C:\\My.Games\\"},  // a "." anywhere makes it a file path
      {"C:\\Games\\README", "C:\\Games\\README\\"},
      {"", "/"},
      {"/home/u/games/data.pff", "/home/u/games/"},
      {"/home/u/games", "/home/u/games/"},
      {"/home/u/games/", "/home/u/games/"},
      {"/home/u/games\0a.pff\0b.pff"s, "/home/u/games/"},
      {"/\0a.pff"s, "/"},
      {"/home/u.v/games", "/home/u.v/"},
      {"C:\\mixed/dir\\x.pff", "C:\\mixed/dir\\"},  // last of either separator
      {"a\\b/c", "a\\b/c/"},                        // appends the separator used last
      {"games\0a.pff"s, "games/"},
  };
  for (const Case& c : cases) EXPECT_EQ(GetFolderPath(c.input), c.expected) << c.input;
}

TEST(NameHelpers, GetFileName) {
  const Case cases[] = {
      {"C:\\Games\\data.pff", "data.pff"},
      {"data.pff", "data.pff"},
      {"C:\\Games\\", ""},
      {"/home/u/data.pff", "data.pff"},
      {"/home/u/", ""},
      {"a/b\\c", "c"},
      {"a\\b/c", "c"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(GetFileName(c.input), c.expected) << c.input;
}

TEST(NameHelpers, PadName16) {
  EXPECT_EQ(PadName16(""), std::string(16, '\0'));
  EXPECT_EQ(PadName16("a.pcx"), "a.pcx" + std::string(11, '\0'));
  EXPECT_EQ(PadName16("sixteen_chars.ab"), "sixteen_chars.ab");
  EXPECT_EQ(PadName16("twenty_characters.ab"), "twenty_characters.ab");
}

TEST(NameHelpers, JoinPath) {
  const struct {
    std::string folder, name, expected;
  } cases[] = {
      {"/home/u", "a.pcx", "/home/u/a.pcx"},
      {"/home/u/", "a.pcx", "/home/u/a.pcx"},
      {"C:\\Games", "a.pcx", "C:\\Games\\a.pcx"},
      {"C:\\Games\\", "a.pcx", "C:\\Games\\a.pcx"},
      {"/home/my.games", "a.pcx", "/home/my.games/a.pcx"},  // never cut like GetFolderPath
      {"out", "a.pcx", "out/a.pcx"},
  };
  for (const auto& c : cases) EXPECT_EQ(JoinPath(c.folder, c.name), c.expected) << c.folder;
}

TEST(EntryNames, MakeEntryNameCutsAndPads) {
  EXPECT_EQ(NameBytes(MakeEntryName("a.pcx")), "a.pcx" + std::string(11, '\0'));
  EXPECT_EQ(NameBytes(MakeEntryName("twenty_characters.ab")), "twenty_character");
  EXPECT_EQ(NameBytes(MakeEntryName("")), std::string(16, '\0'));
}

TEST(EntryNames, DeadSpace) {
  EXPECT_EQ(NameBytes(DeadSpaceName()), "<DEAD SPACE>\0\0\0\0"s);
  EXPECT_TRUE(IsDeadSpaceName(DeadSpaceName()));
  EXPECT_TRUE(IsDeadSpaceName(MakeEntryName("<DEAD\0 SPACE>"s)));  // NULs are ignored
  EXPECT_FALSE(IsDeadSpaceName(MakeEntryName("<dead space>")));
  EXPECT_FALSE(IsDeadSpaceName(MakeEntryName("<DEAD SPACE")));
  EXPECT_FALSE(IsDeadSpaceName(MakeEntryName("<DEAD SPACE> ")));
  EXPECT_FALSE(IsDeadSpaceName(MakeEntryName("<DEAD SPACE>X")));
  EXPECT_FALSE(IsDeadSpaceName(MakeEntryName("")));

  PffEntry entry{0, 100, 200, 300, MakeEntryName("a.pcx")};
  MakeDead(entry);
  EXPECT_EQ(entry.DeadFlag, 1);
  EXPECT_EQ(entry.DataOffset, 100);
  EXPECT_EQ(entry.DataSize, 200);
  EXPECT_EQ(entry.FileTime, 300);
  EXPECT_TRUE(IsDeadSpaceName(entry.Name));
}

}  // namespace
}  // namespace pff
