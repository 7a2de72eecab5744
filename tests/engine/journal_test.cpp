// Opening undoes an interrupted change from its journal, and only one that
// provably belongs to the archive; anything else is never applied.
#include "engine/journal.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <functional>

#include "engine/archive_table.h"
#include "engine/journal_format.h"
#include "engine/journal_trust.h"
#include "support/recording_port.h"
#include "support/system_skips.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace pff {
namespace {

using test::ReadBytes;
using test::RecordingPort;
using test::TempDir;
using test::WriteBytes;

DeclaredWrite Declared(int64_t offset, const std::vector<uint8_t>& bytes) {
  DeclaredWrite write{offset, static_cast<int64_t>(bytes.size()), {}};
  AppendPieceSums(write.Sums, offset, bytes.data(), bytes.size());
  return write;
}

class JournalTest : public ::testing::Test {
 protected:
  void TearDown() override { FileFaults::Clear(); }

  // An empty archive of 73 bytes (its directory at 20) and the journal of a
  // change that saves header and directory, then overwrites [0, 20) and
  // [40, 73) and appends 30 bytes, when touched says it got that far.
  std::vector<uint8_t> Interrupted(const std::string& path, bool touched = true,
                                   Flavour flavour = Flavour::Old, uint8_t written = 0xEE) {
    WriteBytes(path, NewArchiveBytes(flavour));
    const std::vector<uint8_t> old = ReadBytes(path);
    BinaryFile archive = BinaryFile::Open(path, BinaryFile::Mode::Update);
    Journal journal = Journal::Create(path, 73);
    const std::vector<uint8_t> junk(63, written);
    journal.Append(
        archive, {{0, 20}, {20, 53}},
        {Declared(0, {junk.begin(), junk.begin() + 20}), Declared(40, {junk.begin(), junk.begin() + 33})});
    if (touched) {
      archive.WriteAt(0, junk.data(), 20);
      archive.WriteAt(40, junk.data(), 63);
    }
    return old;
  }
  bool JournalLeft() const { return fs::exists(fs::symlink_status(JournalPath(path_))); }
  std::vector<uint8_t> JournalBytes() const { return ReadBytes(JournalPath(path_)); }

  TempDir dir_;
  std::string path_ = dir_.File("a.pff");
  RecordingPort port_;
};

TEST_F(JournalTest, OpeningUndoesAnInterruptedChangeAndSaysSoOnce) {
  const std::string copy = dir_.File("copy/a.pff");
  fs::create_directory(dir_.File("copy"));
  struct Case {
    const char* label;
    std::string path;
    bool reload;
  };
  // A copy of archive and journal elsewhere is undone alike: backups and tests copy files.
  for (const Case& c :
       {Case{"OpenFile", path_, false}, Case{"ReloadArchive", path_, true}, Case{"a copy", copy, false}}) {
    SCOPED_TRACE(c.label);
    const std::vector<uint8_t> old = Interrupted(path_);
    if (c.path != path_) {
      fs::copy_file(path_, c.path, fs::copy_options::overwrite_existing);
      fs::copy_file(JournalPath(path_), JournalPath(c.path), fs::copy_options::overwrite_existing);
    }
    RecordingPort port;
    ArchiveTable table;
    PffArchive record{c.path, {}, {}};
    EXPECT_TRUE(c.reload ? ReloadArchive(record, port) : OpenFile(table, c.path, port));
    EXPECT_EQ(ReadBytes(c.path), old);
    EXPECT_FALSE(fs::exists(JournalPath(c.path)));
    EXPECT_EQ(port.notices, std::vector<std::string>{c.path + ": an interrupted change was undone"});
    EXPECT_TRUE(port.errors.empty());
  }
}

TEST_F(JournalTest, AnUndoCutShortIsDoneAgainAtTheNextOpen) {
  // Two records written back, then the truncation.
  for (int nth = 1; nth <= 3; ++nth) {
    SCOPED_TRACE("crash after write " + std::to_string(nth) + " of the undo");
    const std::vector<uint8_t> old = Interrupted(path_);
    ArchiveTable table;
    FileFaults::CrashAfterNth(nth);
    EXPECT_THROW(OpenFile(table, path_, port_), SimulatedCrash);
    FileFaults::Clear();
    ArchiveTable again;
    EXPECT_TRUE(OpenFile(again, path_, port_));
    EXPECT_EQ(ReadBytes(path_), old);
    EXPECT_FALSE(JournalLeft());
  }
}

TEST_F(JournalTest, AJournalCutShortBeforeTheArchiveWasTouchedIsRemoved) {
  // Header 24 bytes, then a 20-byte head and the 20 header bytes, a head and 53 directory bytes.
  const std::pair<const char*, int64_t> cuts[] = {{"empty", 0},
                                                  {"a torn header", 23},
                                                  {"the header alone", 24},
                                                  {"a torn first record", 54},
                                                  {"the directory's record missing", 64},
                                                  {"all zeros", -1}};
  for (const auto& [label, keep] : cuts) {
    SCOPED_TRACE(label);
    const std::vector<uint8_t> old = Interrupted(path_, false);
    std::vector<uint8_t> journal = JournalBytes();
    journal.resize(keep < 0 ? journal.size() : size_t(keep));
    if (keep < 0) std::fill(journal.begin(), journal.end(), 0);
    WriteBytes(JournalPath(path_), journal);
    RecordingPort port;
    ArchiveTable table;
    EXPECT_TRUE(OpenFile(table, path_, port));
    EXPECT_FALSE(JournalLeft());
    EXPECT_EQ(ReadBytes(path_), old);
    EXPECT_TRUE(port.notices.empty());
  }
}

TEST_F(JournalTest, AJournalThatDoesNotBelongToTheArchiveIsNeverApplied) {
  // Records anyone can checksum, added to the genuine journal; oldLength > 0 rewrites its header too.
  auto append = [&](RecordKind kind, int64_t offset, const std::vector<uint8_t>& payload,
                    int64_t oldLength = 0) {
    std::vector<uint8_t> journal = JournalBytes();
    const uint32_t salt = uint32_t(journal[8]) | uint32_t(journal[9]) << 8 | uint32_t(journal[10]) << 16 |
                          uint32_t(journal[11]) << 24;
    if (oldLength > 0) {
      const std::vector<uint8_t> header = EncodeJournalHeader({salt, oldLength});
      std::copy(header.begin(), header.end(), journal.begin());
    }
    AppendRecord(journal, salt, kind, offset, int64_t(payload.size()), payload.data(), payload.size());
    WriteBytes(JournalPath(path_), journal);
  };
  const std::string other = dir_.File("b.pff");
  struct Case {
    const char* label;
    std::function<void()> spoil;
    bool possible = true;  // for this user
  };
  const Case cases[] = {
      {"a header alone, old length 0",
       [&] {
         WriteBytes(JournalPath(path_), EncodeJournalHeader({1, 0}));
       }},
      // Byte 73 as the archive holds it now completes the old directory's footer.
      {"an old length of 6 GiB", [&] { append(RecordKind::Saved, 73, {0xEE}, int64_t{6} << 30); }},
      {"a record far beyond the file",
       [&] {
         append(RecordKind::Saved, int64_t{1} << 40, {1, 2});
       }},
      {"a second record saving the header",
       [&] { append(RecordKind::Saved, 0, std::vector<uint8_t>(20, 7)); }},
      {"the journal of another archive",
       [&] {
         Interrupted(other, true, Flavour::New, 0xDD);
         fs::rename(JournalPath(other), JournalPath(path_));
       }},
      {"an archive changed since the crash",
       [&] {
         std::vector<uint8_t> bytes = ReadBytes(path_);
         bytes[45] = 0x11;  // neither the old byte nor the one the change wrote
         WriteBytes(path_, bytes);
       }},
#ifndef _WIN32  // kNoLinks; and no owners or mode bits there
      {"a link to the journal",
       [&] {
         fs::rename(JournalPath(path_), dir_.File("elsewhere"));
         fs::create_symlink(dir_.File("elsewhere"), JournalPath(path_));
       }},
      {"a journal others may write",
       [&] { fs::permissions(JournalPath(path_), fs::perms::others_write, fs::perm_options::add); }},
      {"another user's journal", [&] { ASSERT_EQ(::chown(JournalPath(path_).c_str(), 4242, 4242), 0); },
       ::geteuid() == 0},
#endif
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    fs::remove(JournalPath(path_));
    if (!c.possible) continue;
    Interrupted(path_);
    c.spoil();
    const std::vector<uint8_t> archive = ReadBytes(path_), journal = JournalBytes();
    const std::string refusal = ForeignJournalText(path_);
    EXPECT_EQ(refusal, JournalPath(path_) + " does not belong to " + path_ +
                           "; it was not applied. Move it away to open the archive.");

    RecordingPort port;
    ArchiveTable table;
    EXPECT_FALSE(OpenFile(table, path_, port));
    ASSERT_EQ(port.errors.size(), 1u);
    EXPECT_EQ(port.errors[0].routine, Routine::OpenArchive);
    EXPECT_EQ(port.errors[0].description, refusal);
    // Creating over the archive would leave the journal to the new one: refused too.
    EXPECT_EQ(CreateArchive(table, path_, Flavour::New).Error, refusal);
    EXPECT_EQ(ReadBytes(path_), archive);
    EXPECT_EQ(JournalBytes(), journal);
  }
}

TEST_F(JournalTest, AReadOnlyFolderOrArchiveIsOpenedForWhatItAllows) {
  const std::string journal = JournalPath(path_);
  const std::string eacces = journal + ": Permission denied";
  // Opening the archive for writing fails first, then removing the journal.
  auto readOnlyArchive = [] { FileFaults::FailNth(FileFaults::Op::Open, 1, EROFS); };
  auto readOnlyFolder = [] { FileFaults::FailNth(FileFaults::Op::Name, 1, EACCES); };
  struct Case {
    const char* label;
    bool touched, cut, archiveReadOnly, folderReadOnly;
    bool opens, undone, journalKept;
    std::string said;  // notice or error
  };
  const Case cases[] = {
      {"a cut journal, nothing writable", false, true, true, true, true, false, true, ""},
      {"nothing to undo, the archive read-only", false, false, true, false, true, false, false, ""},
      {"an undo in a read-only folder", true, false, false, true, true, true, true,
       path_ + ": an interrupted change was undone; its journal " + journal + " could not be removed (" +
           eacces + "); it was emptied and may be deleted."},
      {"an undo into a read-only archive", true, false, true, true, false, false, true,
       "An interrupted change cannot be undone: " + path_ + ": Read-only file system; its journal " +
           journal + " is kept."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const std::vector<uint8_t> old = Interrupted(path_, c.touched);
    if (c.cut) WriteBytes(journal, std::vector<uint8_t>(10, 0));
    const std::vector<uint8_t> before = ReadBytes(path_);
    if (c.archiveReadOnly) readOnlyArchive();
    if (c.folderReadOnly) readOnlyFolder();
    RecordingPort port;
    ArchiveTable table;
    EXPECT_EQ(OpenFile(table, path_, port), c.opens);
    FileFaults::Clear();
    EXPECT_EQ(ReadBytes(path_), c.undone ? old : before);
    EXPECT_EQ(JournalLeft(), c.journalKept);
    if (c.opens) {
      EXPECT_EQ(port.notices, c.said.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.said});
    } else {
      EXPECT_EQ(port.errors.at(0).description, c.said);
    }
    if (c.undone) {
      // Emptied, it undoes nothing, and goes once the folder allows.
      EXPECT_TRUE(JournalBytes().empty());
      RecordingPort again;
      EXPECT_TRUE(OpenFile(table, path_, again));
      EXPECT_TRUE(again.notices.empty());
      EXPECT_FALSE(JournalLeft());
    }
    fs::remove(journal);
  }
}

TEST_F(JournalTest, AFifoIsRefusedAtOnce) {
  SKIP_ON_WINDOWS("no FIFOs (a device name is refused, tested with the names Windows cannot hold)");
  const std::string fifo = dir_.File("f.pff");
#ifndef _WIN32
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
#endif
  ArchiveTable table;
  EXPECT_FALSE(OpenFile(table, fifo, port_));  // would hang if it waited for a writer
  EXPECT_EQ(port_.ErrorRoutines(), std::vector<Routine>{Routine::OpenArchive});
}

}  // namespace
}  // namespace pff
