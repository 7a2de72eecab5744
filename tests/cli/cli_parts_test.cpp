// The pieces of the tool that a child process cannot reach: the terminal
// question, the error line, the limits of the value parsers and a folder
// that refuses changes.

#include <gtest/gtest.h>

#include <cerrno>
#include <sstream>
#include <tuple>

#include "cli/args.h"
#include "cli/cli_port.h"
#include "cli/run_pff.h"
#include "editing/add_file.h"
#include "engine/archive_table.h"
#include "engine/pff_format.h"
#include "support/temp_dir.h"

namespace pff::cli {
namespace {

TEST(CliPort, ReportsErrorsOnOneLineAndAsksOnlyATerminal) {
  std::istringstream in("yes\n\nY\n");
  std::ostringstream err;
  CliPort terminal(in, err, true);
  const ReplaceRequest request{{"a", 1024, 0}, {"b\x1b\r\n", 2048, 18000}, "b"};
  EXPECT_TRUE(terminal.AskReplace(request));
  EXPECT_EQ(err.str(),
            "Warning!\nAre you sure you want to replace: a, Size: 1 KB, Modified On: 31/12/69 19:00:00\n"
            "With This One: b\\x1B\\x0D\\x0A, Size: 2 KB, Modified On: 01/01/70 00:00:00\n[y/N] ");
  EXPECT_FALSE(terminal.AskReplace(request));  // empty answer
  EXPECT_TRUE(terminal.AskReplace(request));
  EXPECT_FALSE(terminal.AskReplace(request));  // end of input

  std::istringstream yes("y\n");
  std::ostringstream quiet;
  CliPort script(yes, quiet, false);
  EXPECT_FALSE(script.AskReplace(request));
  script.ReportError(Routine::AddFile, "No space left\r\non device");
  EXPECT_EQ(quiet.str(), "pff: Error in AddFile: No space left on device\n");
  EXPECT_EQ(script.ErrorCount(), 1);
}

TEST(Args, NumbersAndDatesAreCheckedAtTheirLimits) {
  EXPECT_EQ(ParseInt32("2147483647"), 2147483647);
  EXPECT_EQ(ParseInt32("-2147483648"), INT32_MIN);
  for (const char* bad : {"", "2147483648", "-2147483649", " 1", "0x10"})
    EXPECT_FALSE(ParseInt32(bad)) << bad;
  const std::optional<WallClock> leap = ParseDate("2000-02-29");
  ASSERT_TRUE(leap);
  EXPECT_EQ(std::make_tuple(leap->Year, leap->Month, leap->Day, leap->Hour), std::make_tuple(2000, 2, 29, 0));
  for (const char* bad :
       {"1900-02-29", "2023-02-29", "2023-04-31", "2023-13-01", "2023-1-01", "2023-01-01x"}) {
    EXPECT_FALSE(ParseDate(bad)) << bad;
  }
}

TEST(RunPff, AnUndoInAFolderThatKeepsItsJournalSucceedsAndSaysSo) {
  test::TempDir dir;
  const std::string path = dir.File("a.pff"), journal = path + "-journal";
  test::WriteBytes(path, NewArchiveBytes(Flavour::New));
  test::WriteBytes(dir.File("x.bin"), {1, 2, 3});
  ArchiveTable table;
  SilentFrontend port;
  ASSERT_TRUE(OpenFile(table, path, port));
  FileFaults::CrashAfterNth(2);  // the journal and the data written
  EXPECT_THROW(AddFile(dir.File("x.bin"), table.Archive(1), {false, false}, port), SimulatedCrash);
  FileFaults::Clear();

  FileFaults::FailNth(FileFaults::Op::Name, 1, EACCES);
  std::istringstream in;
  std::ostringstream out, err;
  EXPECT_EQ(RunPff({"info", path}, in, out, err, false), 0);
  FileFaults::Clear();
  EXPECT_EQ(err.str(), "pff: " + path + ": an interrupted change was undone; its journal " + journal +
                           " could not be removed (" + journal +
                           ": Permission denied); it was emptied and may be deleted.\n");
  EXPECT_EQ(test::ReadBytes(path), NewArchiveBytes(Flavour::New));
}

}  // namespace
}  // namespace pff::cli
