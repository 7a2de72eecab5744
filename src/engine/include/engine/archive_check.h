#pragma once
// Examining an archive without changing it: header fields, directory bounds,
// footer, entry regions, overlaps, duplicate and unusable names, a pending journal.

#include <cstdint>
#include <string>
#include <vector>

namespace pff {

enum class Severity { Warning, Error };

/// What a finding is about, so that callers can compare two checks of one file.
enum class CheckKind {
  Unreadable,     // the file cannot be opened or read
  HeaderField,    // HeaderSize, magic
  EntrySize,      // record length
  EntryCount,     // negative or above 32,767
  Directory,      // directory inside the header or past the end of the file
  Footer,         // no 8 zero bytes + "KING" after the directory
  DeadFlag,       // neither 0 nor 1
  DataBounds,     // live data or dead space outside [20, DirOffset) or past the end of the file
  Overlap,        // live data over other live data
  DeadOverlap,    // dead space over live data or other dead space
  DuplicateName,  // two live entries of one name (case-insensitive)
  FileName,       // a name that cannot be extracted as a file name
  Journal,        // an interrupted change waits to be undone
};

struct CheckFinding {
  Severity Level = Severity::Error;
  int Entry = 0;     // 1-based entry index; 0 when the finding concerns the whole archive
  std::string Name;  // the entry's name as shown (UTF-8, control bytes escaped); empty when Entry is 0
  std::string Text;  // one sentence
  CheckKind Kind = CheckKind::Unreadable;
};

struct CheckReport {
  std::string Path;
  std::vector<CheckFinding> Findings;
  int EntryCount = 0;     // records read (may be fewer than the header claims)
  int IntactEntries = 0;  // entries (live or dead) whose data lies wholly inside the file
  int64_t DeadBytes = 0;  // bytes described by dead records
  int Errors() const;
  int Warnings() const;
};

/// Examines the archive at path without writing anything. It reads what it
/// can of archives the editor refuses (a directory past the end of a
/// truncated file, say) and says which entries are still intact. Memory stays
/// bounded whatever the header claims.
CheckReport CheckArchive(const std::string& path);
/// "error: entry 3 \"A.TXT\": ..." or "warning: ..." (no line break).
std::string FindingText(const CheckFinding& finding);
/// "PATH: N errors, M warnings, K entries (J intact)".
std::string CheckSummary(const CheckReport& report);

}  // namespace pff
