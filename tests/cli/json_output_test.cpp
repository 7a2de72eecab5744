// pff's JSON documents: they parse, carry the header and entry fields, and give
// back names with Latin-1 and control bytes exactly.

#include "cli/json_output.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "pff_process.h"

namespace pff::test {
namespace {

using nlohmann::json;
using JsonOutput = CliTest;

TEST(IsoWallClock, WritesTheStoredReadingWithoutAZone) {
  const std::pair<int32_t, std::string> cases[] = {
      {0, "1969-12-31T19:00:00"},
      {1000018000, "2001-09-09T01:46:40"},
      {INT32_MAX, "2038-01-18T22:14:07"},
      {INT32_MIN, "1901-12-13T15:45:52"},
  };
  for (const auto& [time, text] : cases) EXPECT_EQ(cli::IsoWallClock(time), text) << time;
}

TEST_F(JsonOutput, ListAndInfoRoundTripNamesAndFields) {
  // File names are UTF-8; the archive keeps them as Latin-1 bytes.
  const std::vector<std::string> names = {"caf\xC3\xA9.txt", "a\x01\x1F\x7F.bin", "tab\there",
                                          "q\".\xC3\xBF"};
  ASSERT_EQ(Pff({"new", "--df1", "a.pff"}).status, 0);
  std::vector<std::string> add = {"add", "a.pff"};
  for (const std::string& name : names) {
    MakeFile(name, name);
    add.push_back(name);
  }
  ASSERT_EQ(Pff(add).status, 0);
  ASSERT_EQ(Pff({"delete", "a.pff", "tab\there"}).status, 0);

  PffRun list = Pff({"list", "--json", "--all", "a.pff", "missing.pff"});
  EXPECT_EQ(list.status, 1);
  const json listed = json::parse(list.out);
  ASSERT_EQ(listed["archives"].size(), 1u);
  const json& archive = listed["archives"][0];
  EXPECT_EQ(archive["path"], "a.pff");
  EXPECT_EQ(archive["magic"], "PFF3");
  EXPECT_EQ(archive["entry_size"], 32);
  ASSERT_EQ(archive["entries"].size(), names.size());
  for (size_t i = 0; i < names.size(); ++i) {
    const json& entry = archive["entries"][i];
    EXPECT_EQ(entry["index"], i + 1);
    EXPECT_EQ(entry["dead"], i == 2);
    EXPECT_EQ(entry["size"], names[i].size());
    EXPECT_EQ(entry["time"], 1000018000);
    EXPECT_EQ(entry["time_text"], "2001-09-09T01:46:40");
    EXPECT_EQ(entry["name"], i == 2 ? "<DEAD SPACE>" : names[i]);
  }
  EXPECT_EQ(archive["entries"][0]["type"], "TXT");
  EXPECT_EQ(archive["entries"][3]["type"], "\xC3\xBF");

  // A name read from the document names the entry again.
  const std::string control = archive["entries"][1]["name"];
  std::filesystem::create_directory(Path("out"));
  ASSERT_EQ(Pff({"extract", "-C", "out", "a.pff", "--", control}).status, 0);
  EXPECT_EQ(ReadBytes(Path("out/" + control)), ReadBytes(Path(names[1])));

  const json info = json::parse(Pff({"info", "--json", "a.pff"}).out)["archives"][0];
  EXPECT_EQ(info["entry_count"], 4);
  EXPECT_EQ(info["dir_offset"], archive["dir_offset"]);
  EXPECT_EQ(info["file_size"], ReadBytes(Path("a.pff")).size());
  EXPECT_EQ(info["live_entries"], 3);
  EXPECT_EQ(info["dead_entries"], 1);
  EXPECT_EQ(info["dead_bytes"], 8);

  // Nothing opened: still one document, and no table header on the screen form.
  EXPECT_EQ(json::parse(Pff({"list", "--json", "missing.pff"}).out)["archives"].size(), 0u);
  EXPECT_EQ(Pff({"list", "missing.pff"}).out, "");

  // check --json: one document for all archives, the exit status of the check.
  const auto checked = Pff({"check", "--json", "a.pff", "missing.pff"});
  const json reports = json::parse(checked.out)["archives"];
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0]["errors"], 0);
  EXPECT_GT(reports[1]["errors"], 0);
  EXPECT_EQ(checked.status, 1);
}

TEST(JsonDocuments, BytesThatAreNotUtf8StillGiveADocument) {
  ArchiveTable table;
  PffArchive archive;
  archive.Path = "bad\xFF\xFE.pff";  // a file name the system allows but UTF-8 does not
  archive.Header.Magic = {'\x00', '\x9B', 'P', '\xFF'};
  archive.Header.EntryCount = 1;
  archive.Entries.resize(1);
  archive.Entries[0].Name = MakeEntryName("\x9B[2J\xE9");
  table.Append(archive);

  const json document = json::parse(cli::ListJson(table, {{1, 1}}));
  const json& parsed = document["archives"][0];
  EXPECT_EQ(parsed["path"], "bad\xEF\xBF\xBD\xEF\xBF\xBD.pff");
  EXPECT_EQ(parsed["magic"], std::string("\x00\xC2\x9B"
                                         "P\xC3\xBF",
                                         6));
  EXPECT_EQ(parsed["entries"][0]["name"], "\xC2\x9B[2J\xC3\xA9");
}

TEST(JsonDocuments, CheckReportsKeepEveryFinding) {
  CheckReport report;
  report.Path = "game.pff";
  report.EntryCount = 3;
  report.IntactEntries = 2;
  report.DeadBytes = 4096;
  report.Findings = {{Severity::Error, 2, "A\\x01.TXT", "Its data runs past the end of the file."},
                     {Severity::Warning, 0, "", "The footer stamp is missing."}};

  const json one = json::parse(cli::CheckReportJson(report));
  EXPECT_EQ(one, json::parse(R"({"path": "game.pff", "errors": 1, "warnings": 1, "entry_count": 3,
      "intact_entries": 2, "dead_bytes": 4096, "findings": [
      {"level": "error", "entry": 2, "name": "A\\x01.TXT", "text": "Its data runs past the end of the file."},
      {"level": "warning", "entry": 0, "name": "", "text": "The footer stamp is missing."}]})"));

  const json several = json::parse(cli::CheckReportsJson({report, CheckReport{}}));
  ASSERT_EQ(several["archives"].size(), 2u);
  EXPECT_EQ(several["archives"][0], one);
  EXPECT_EQ(several["archives"][1]["findings"], json::array());
}

}  // namespace
}  // namespace pff::test
