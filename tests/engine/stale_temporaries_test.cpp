// Opening or replacing an archive removes the temporary files an
// interrupted compaction or creation left beside it, and nothing else.
#include "engine/stale_temporaries.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <filesystem>
#include <functional>
#include <optional>

#include "engine/archive_table.h"
#include "engine/binary_file.h"
#include "engine/pff_format.h"
#include "support/recording_port.h"
#include "support/system_skips.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace pff {
namespace {

using test::TempDir;
using test::WriteBytes;

TEST(StaleTemporaries, OnlyTheArchivesOwnLeftoversOfADeadWriterGo) {
  TempDir dir;
  const std::string path = dir.File("a.pff");
  WriteBytes(path, NewArchiveBytes(Flavour::Old));
  std::vector<BinaryFile> held;  // files other programs are still writing
  auto plain = [](const std::string& file) { WriteBytes(file, {1, 2, 3}); };
  struct Case {
    const char* label;
    std::string name;  // "": the one CreateTemporary picks
    bool removed;
    std::function<bool(const std::string&)> make;  // false: not possible for this user
  };
  const Case cases[] = {
      {"left by a dead writer", ".a.pff.x1y2z3.tmp", true,
       [&](const std::string& f) { return plain(f), true; }},
      {"being written", "", false,
       [&](const std::string&) {
         return held.push_back(BinaryFile::CreateTemporary(dir.Path().string(), "a.pff")), true;
       }},
      {"locked by its writer", ".a.pff.q9w8e7.tmp", false,
       [&](const std::string& f) {
         plain(f);
         held.push_back(BinaryFile::Open(f, BinaryFile::Mode::Read));
         return held.back().LockExclusive(0);
       }},
      {"another archive's", ".b.pff.x1y2z3.tmp", false, [&](const std::string& f) { return plain(f), true; }},
      {"another name", ".a.pff.X1Y2Z3.tmp", false, [&](const std::string& f) { return plain(f), true; }},
      {"a link", ".a.pff.l1n2k3.tmp", false,
       [&](const std::string& f) {
         return !test::kOnWindows && (fs::create_symlink(dir.File("b.pff"), f), true);
       }},
      {"another user's", ".a.pff.u5s6r7.tmp", false,
#ifdef _WIN32
       [&](const std::string&) { return false; }},  // no owners there
#else
       [&](const std::string& f) { return plain(f), ::chown(f.c_str(), 4242, 4242) == 0; }},
#endif
  };
  std::vector<std::pair<std::string, const Case*>> made;
  for (const Case& c : cases) {
    const std::string file = c.name.empty() ? "" : dir.File(c.name);
    if (!c.make(file)) continue;
    made.push_back({c.name.empty() ? held.back().Path() : file, &c});
  }
  // Opening clears them; so does creating an archive over the file.
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round == 0 ? "open" : "create");
    test::RecordingPort port;
    ArchiveTable table;
    const bool done =
        round == 0 ? OpenFile(table, path, port) != 0 : CreateArchive(table, path, Flavour::New).Index != 0;
    EXPECT_TRUE(done);
    for (const auto& [file, c] : made) {
      SCOPED_TRACE(c->label);
      EXPECT_EQ(fs::exists(fs::symlink_status(file)), !c->removed);
      if (c->removed) plain(file);
    }
  }
}

}  // namespace
}  // namespace pff
