#pragma once
// The pff tool's side of the engine's window interface: errors go to
// stderr and the replace question is answered by a flag or at the terminal.

#include <istream>
#include <ostream>
#include <string>

#include "engine/frontend.h"

namespace pff::cli {

class CliPort : public Frontend {
 public:
  /// interactive: questions are put on err and answered by a line from in;
  /// otherwise every question is answered No.
  CliPort(std::istream& in, std::ostream& err, bool interactive);

  void ReportError(Routine routine, const std::string& description) override;
  void Notify(const std::string& text) override;
  bool AskReplace(const ReplaceRequest& request) override;

  /// How many errors were reported so far.
  int ErrorCount() const { return errors_; }

 private:
  std::istream& in_;
  std::ostream& err_;
  bool interactive_;
  int errors_ = 0;
};

/// The replace question as the terminal shows it: two lines, times in the
/// day/month/year style.
std::string ReplaceQuestion(const ReplaceRequest& request);

/// text with each CR LF (and any lone CR or LF) replaced by `with`.
std::string ReplaceLineBreaks(const std::string& text, const std::string& with);

}  // namespace pff::cli
