// The names Windows cannot hold, checked on every system: extraction on
// Windows refuses them by this rule.
#include "engine/windows_names.h"

#include <gtest/gtest.h>

namespace pff {
namespace {

TEST(WindowsNames, RefusesReservedCharactersEndsAndDevicesAndSaysWhy) {
  const std::pair<const char*, const char*> refused[] = {
      {"a:b.txt", "\":\""},  {"a<b", "\"<\""},         {"a>b", "\">\""},       {"say\"hi\"", "\"\"\""},
      {"a|b", "\"|\""},      {"why?", "\"?\""},        {"*.bin", "\"*\""},     {"tab\there", "control"},
      {"\x1f", "control"},   {"name.", "dot"},         {"name ", "space"},     {"CON", "device"},
      {"con.txt", "device"}, {"Nul.tar.gz", "device"}, {"aux .log", "device"}, {"PRN", "device"},
      {"COM1", "device"},    {"com9.dat", "device"},   {"LPT1", "device"},     {"lpt9.x", "device"},
  };
  for (const auto& [name, why] : refused) {
    const std::optional<std::string> problem = WindowsNameProblem(name);
    ASSERT_TRUE(problem.has_value()) << name;
    EXPECT_NE(problem->find(why), std::string::npos) << name << ": " << *problem;
  }
  // Near misses: other numbers, longer words, the words inside a name, and
  // Latin-1 letters, whose UTF-8 bytes are no control characters.
  for (const char* name : {"COM0", "LPT10", "COM", "CONSOLE", "AUXILIARY.TXT", "XCON", "my.con", "NUL_1",
                           ".hidden", "a.b.c", "caf\xC3\xA9.txt", "\xC3\xBF", "A B", "-", "100%"}) {
    EXPECT_EQ(WindowsNameProblem(name), std::nullopt) << name;
    EXPECT_FALSE(IsWindowsDeviceName(name)) << name;
  }
}

}  // namespace
}  // namespace pff
