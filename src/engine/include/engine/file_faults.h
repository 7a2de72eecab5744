#pragma once
// Test seam of the file seam: failures, short transfers and a simulated
// death of the program, armed by tests and counted by binary_file and
// file_system at each call they make to the operating system.

#include <cstddef>
#include <string>

namespace pff {

struct FileFaults {
  enum class Op {
    Open,
    Read,
    Write,
    Name,  // renaming or removing a name in a folder
  };
  /// The nth operation of a kind from now on fails with err.
  static void FailNth(Op op, int nth, int err = 5 /* EIO */);
  /// Simulates the program dying right after the nth write (truncation
  /// included) from now on: SimulatedCrash is thrown then, and by every
  /// later write, flush or change of a name, until Clear. What was written stays.
  static void CrashAfterNth(int nth);
  /// Every read and write moves at most half of what it asks for at a time
  /// (at least one byte), as a signal or a full disk may make the system do.
  static void ShortTransfers(bool on);
  static void Clear();

  // For the seam itself.
  /// Counts one operation; throws the armed failure or SimulatedCrash.
  static void Count(Op op, const std::string& path);
  /// Called after a write has completed.
  static void CountWritten();
  /// Throws SimulatedCrash once the program counts as dead.
  static void ThrowIfCrashed();
  /// How much of n bytes one system call may move.
  static size_t Transfer(size_t n);
};

/// Thrown by the seam for a simulated crash. Deliberately no std::exception,
/// so that no rollback or error report of the program catches it.
struct SimulatedCrash {};

}  // namespace pff
