// pff's JSON documents: they parse, carry the header and entry fields, and give
// back names with Latin-1 and control bytes exactly.

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "pff_process.h"

namespace pff::test {
namespace {

using nlohmann::json;
using JsonOutput = CliTest;

TEST_F(JsonOutput, ListAndInfoRoundTripNamesAndFields) {
  SKIP_ON_WINDOWS("files named with control characters or bytes that are no UTF-8");
  // File names are UTF-8; the archive keeps them as Latin-1 bytes. The archive's own name is no UTF-8.
  const std::vector<std::string> names = {"caf\xC3\xA9.txt", "a\x01\x1F\x7F.bin", "tab\there", "q\".\xC3\xBF",
                                          "\xC2\x9B[2J\xC3\xA9"};
  const std::string path = "bad\xFF\xFE.pff";
  std::vector<std::pair<std::string, std::string>> files;
  for (const std::string& name : names) files.emplace_back(name, name);
  NewArchive(path, files, "--df1");
  ASSERT_EQ(Pff({"delete", path, "tab\there"}).status, 0);
  std::vector<uint8_t> bytes = ReadBytes(Path(path));
  bytes[4] = 0, bytes[5] = 0x9B, bytes[6] = 'P', bytes[7] = 0xFF;  // the magic as raw bytes
  WriteBytes(Path(path), bytes);

  PffRun list = Pff({"list", "--json", "--all", path, "missing.pff"});
  EXPECT_EQ(list.status, 1);
  const json listed = json::parse(list.out);
  ASSERT_EQ(listed["archives"].size(), 1u);
  const json& archive = listed["archives"][0];
  EXPECT_EQ(archive["path"], "bad\xEF\xBF\xBD\xEF\xBF\xBD.pff");
  EXPECT_EQ(archive["magic"], std::string("\x00\xC2\x9BP\xC3\xBF", 6));
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
  ASSERT_EQ(Pff({"extract", "-C", "out", path, "--", control}).status, 0);
  EXPECT_EQ(ReadBytes(Path("out/" + control)), ReadBytes(Path(names[1])));

  const json info = json::parse(Pff({"info", "--json", path}).out)["archives"][0];
  EXPECT_EQ(info["file_size"], bytes.size());
  EXPECT_EQ(info["live_entries"], 4);
  EXPECT_EQ(info["dead_bytes"], 8);

  // Nothing opened: still one document, and no table header on the screen form.
  EXPECT_EQ(json::parse(Pff({"list", "--json", "missing.pff"}).out)["archives"].size(), 0u);
  EXPECT_EQ(Pff({"list", "missing.pff"}).out, "");

  // check --json: one document for all archives, the exit status of the check.
  const auto checked = Pff({"check", "--json", path, "missing.pff"});
  const json reports = json::parse(checked.out)["archives"];
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0]["errors"], 0);
  EXPECT_EQ(reports[0]["findings"][0]["level"], "warning");  // the magic
  EXPECT_EQ(reports[1]["findings"][0]["level"], "error");
  EXPECT_EQ(checked.status, 1);
}

}  // namespace
}  // namespace pff::test
