#include "engine/file_faults.h"

#include "engine/pff_error.h"

namespace pff {

namespace {

struct Fault {
  int countdown = 0;  // 0: not armed
  int err = 0;
};
Fault faults[4];
int crashCountdown = 0;  // 0: not armed
bool crashed = false;
bool shortTransfers = false;

}  // namespace

void FileFaults::FailNth(Op op, int nth, int err) { faults[static_cast<int>(op)] = {nth, err}; }

void FileFaults::CrashAfterNth(int nth) {
  crashCountdown = nth;
  crashed = nth == 0;
}

void FileFaults::ShortTransfers(bool on) { shortTransfers = on; }

void FileFaults::Clear() {
  for (Fault& f : faults) f = {};
  crashCountdown = 0;
  crashed = false;
  shortTransfers = false;
}

void FileFaults::Count(Op op, const std::string& path) {
  if (crashed && (op == Op::Write || op == Op::Name)) throw SimulatedCrash{};
  Fault& f = faults[static_cast<int>(op)];
  if (f.countdown > 0 && --f.countdown == 0) ThrowSystemError(f.err, path);
}

void FileFaults::CountWritten() {
  if (crashCountdown > 0 && --crashCountdown == 0) crashed = true;
  ThrowIfCrashed();
}

void FileFaults::ThrowIfCrashed() {
  if (crashed) throw SimulatedCrash{};
}

size_t FileFaults::Transfer(size_t n) { return shortTransfers && n > 1 ? n / 2 : n; }

}  // namespace pff
