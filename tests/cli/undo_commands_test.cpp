// pff undo, redo and history: every state of the archive byte for byte, the
// refusal after a change by other software, and the listing of the steps.

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <tuple>
#include <nlohmann/json.hpp>

#include "engine/pff_format.h"
#include "pff_process.h"

namespace pff::test {
namespace {

using nlohmann::json;
using UndoCommands = CliTest;
using Strings = std::vector<std::string>;

const std::vector<std::pair<std::string, std::string>> kTwoFiles = {{"one.txt", "first file"},
                                                                    {"two.txt", "second"}};

// The UTC reading of Unix seconds in the strftime format: the child runs in UTC.
std::string UtcText(int64_t seconds, const char* format) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm parts{};
#ifdef _WIN32
  gmtime_s(&parts, &time);
#else
  gmtime_r(&time, &parts);
#endif
  char text[64];
  std::strftime(text, sizeof text, format, &parts);
  return text;
}

TEST_F(UndoCommands, UndoAndRedoWalkTheArchiveThroughItsExactStates) {
  NewArchive("a.pff", kTwoFiles);
  const std::vector<uint8_t> added = ReadBytes(Path("a.pff"));
  ASSERT_EQ(Pff({"delete", "a.pff", "ONE.TXT"}).status, 0);
  const std::vector<uint8_t> deleted = ReadBytes(Path("a.pff"));

  const auto expect = [&](const Strings& args, int status, const std::string& out, const std::string& err,
                          const std::vector<uint8_t>& bytes) {
    const PffRun run = Pff(args);
    EXPECT_EQ(run.status, status) << args[0] << " " << run.err;
    EXPECT_EQ(run.out, out) << args[0];
    EXPECT_EQ(run.err, err) << args[0];
    EXPECT_EQ(ReadBytes(Path("a.pff")), bytes) << args[0] << " left other bytes";
  };
  expect({"undo", "a.pff"}, 0, "Undid: delete of 1 entry\n", "", added);
  expect({"redo", "a.pff"}, 0, "Redid: delete of 1 entry\n", "", deleted);
  expect({"undo", "a.pff"}, 0, "Undid: delete of 1 entry\n", "", added);
  expect({"undo", "a.pff"}, 0, "Undid: add of 2 files\n", "", NewArchiveBytes(Flavour::New));
  expect({"undo", "a.pff"}, 1, "", "pff: nothing to undo\n", NewArchiveBytes(Flavour::New));
  expect({"redo", "a.pff"}, 0, "Redid: add of 2 files\n", "", added);

  // A new change drops what could still be redone (the delete).
  ASSERT_EQ(Pff({"rename", "a.pff", "two.txt", "three.txt"}).status, 0);
  const std::vector<uint8_t> renamed = ReadBytes(Path("a.pff"));
  expect({"redo", "a.pff"}, 1, "", "pff: nothing to redo\n", renamed);
  expect({"undo", "a.pff"}, 0, "Undid: rename of 1 entry\n", "", added);

  // Creating cannot be undone: the steps of the archive it replaces are gone.
  ASSERT_EQ(Pff({"new", "--force", "--df1", "a.pff"}).status, 0);
  expect({"undo", "a.pff"}, 1, "", "pff: nothing to undo\n", NewArchiveBytes(Flavour::Old));
}

TEST_F(UndoCommands, AChangeByOtherSoftwareIsNeverUndone) {
  NewArchive("a.pff", kTwoFiles);
  const std::vector<uint8_t> added = ReadBytes(Path("a.pff"));
  ASSERT_EQ(Pff({"delete", "a.pff", "two.txt"}).status, 0);
  // Another program renames the entry that stays live, "one.txt" to "One.txt",
  // in place: the archive keeps its length and still reads as a whole archive.
  std::vector<uint8_t> bytes = ReadBytes(Path("a.pff"));
  const std::string name = "one.txt";
  const auto at = std::search(bytes.begin(), bytes.end(), name.begin(), name.end());
  ASSERT_NE(at, bytes.end());
  const auto overwrite = [&](char c) {
    std::fstream file(Path("a.pff"), std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(at - bytes.begin());
    file.put(c);
  };
  overwrite('O');
  *at = 'O';
  ASSERT_EQ(ReadBytes(Path("a.pff")), bytes);

  const PffRun refused = Pff({"undo", "a.pff"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(refused.err, "pff: a.pff was changed since; nothing was undone.\n");
  EXPECT_EQ(ReadBytes(Path("a.pff")), bytes);

  // The refusal kept the step: with the name as the delete left it, it applies.
  overwrite('o');
  const PffRun undone = Pff({"undo", "a.pff"});
  EXPECT_EQ(undone.status, 0) << undone.err;
  EXPECT_EQ(undone.out, "Undid: delete of 1 entry\n");
  EXPECT_EQ(ReadBytes(Path("a.pff")), added);

  EXPECT_EQ(Pff({"undo", "missing.pff"}).status, 1);
  EXPECT_EQ(Pff({"undo", "a.pff", "a.pff"}).status, 2);
}

TEST_F(UndoCommands, HistoryListsWhatCanBeUndoneAndRedone) {
  NewArchive("a.pff", kTwoFiles);
  ASSERT_EQ(Pff({"delete", "a.pff", "one.txt", "two.txt"}).status, 0);
  ASSERT_EQ(Pff({"rename", "a.pff", "<DEAD SPACE>", "back.txt"}).status, 0);
  ASSERT_EQ(Pff({"undo", "a.pff"}).status, 0);

  const PffRun listed = Pff({"history", "--json", "a.pff"});
  ASSERT_EQ(listed.status, 0) << listed.err;
  const json history = json::parse(listed.out);
  EXPECT_EQ(history["archive"], "a.pff");
  ASSERT_EQ(history["done"].size(), 2u);
  ASSERT_EQ(history["undone"].size(), 1u);
  const json& add = history["done"][0];
  const json& del = history["done"][1];
  const json& rename = history["undone"][0];
  for (const auto& [step, change, kind, count] : {std::tuple{&add, "add of 2 files", "add", 2},
                                                  std::tuple{&del, "delete of 2 entries", "delete", 2},
                                                  std::tuple{&rename, "rename of 1 entry", "rename", 1}}) {
    EXPECT_EQ((*step)["change"], change);
    EXPECT_EQ((*step)["kind"], kind);
    EXPECT_EQ((*step)["count"], count);
    EXPECT_EQ((*step)["redoable"], true);
    EXPECT_GT((*step)["bytes"].get<int64_t>(), 0);
    EXPECT_EQ((*step)["time_text"], UtcText((*step)["time"].get<int64_t>(), "%Y-%m-%dT%H:%M:%S"));
  }

  // The screen form: the same steps in the same order, times as "pff list" shows them.
  const PffRun shown = Pff({"history", "a.pff"});
  ASSERT_EQ(shown.status, 0) << shown.err;
  const std::vector<std::string> lines = Lines(shown.out);
  ASSERT_EQ(lines.size(), 5u) << shown.out;
  EXPECT_EQ(lines[0], "Done, oldest first (\"pff undo\" takes the last):");
  EXPECT_EQ(lines[3], "Undone (\"pff redo\" takes the first):");
  // Number, time, phrase padded to the longest, then the bytes right-aligned.
  const std::vector<std::pair<std::string, const json*>> rows = {
      {"  1  ", &add}, {"  2  ", &del}, {"  1  ", &rename}};
  for (size_t i = 0; i < rows.size(); ++i) {
    const std::string& line = lines[i < 2 ? i + 1 : 4];
    const json& step = *rows[i].second;
    std::string phrase = step["change"];
    phrase.resize(std::string("delete of 2 entries").size(), ' ');
    EXPECT_EQ(line.substr(0, 45),
              rows[i].first + UtcText(step["time"].get<int64_t>(), "%d/%m/%y %H:%M:%S") + "  " + phrase + "  ");
    EXPECT_EQ(line.size(), lines[1].size()) << line;
    EXPECT_EQ(line.substr(line.size() - 6), " bytes") << line;
  }

  // A new archive has no steps: empty lists, not missing ones.
  ASSERT_EQ(Pff({"new", "--df3", "b.pff"}).status, 0);
  EXPECT_EQ(json::parse(Pff({"history", "--json", "b.pff"}).out),
            json::parse(R"({"archive": "b.pff", "done": [], "undone": []})"));
}

}  // namespace
}  // namespace pff::test
