#pragma once
// A window stand-in that records what the engine asked of it.

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "engine/window_port.h"

namespace pff::test {

class RecordingPort : public WindowPort {
 public:
  struct Error {
    std::string routine, description;
  };
  std::vector<Error> errors;
  std::vector<std::pair<std::string, std::string>> questions;  // title, text
  std::deque<bool> answers;                                    // next answers to AskYesNo; No when empty
  std::vector<std::pair<int, std::string>> loaded;
  std::vector<std::string> notices;
  int fileListRefreshes = 0, filterListRefreshes = 0, listRefreshes = 0;

  void ReportError(const std::string& routine, const std::string& description) override;
  void Notify(const std::string& text) override { notices.push_back(text); }
  bool AskYesNo(const std::string& title, const std::string& text) override;
  void ArchiveLoaded(int index, const std::string& fileName) override;
  void RefreshFileList() override { ++fileListRefreshes; }
  void RefreshFilterList() override { ++filterListRefreshes; }
  void RefreshList() override { ++listRefreshes; }

  /// Routine names of the errors, in order.
  std::vector<std::string> ErrorRoutines() const;
};

}  // namespace pff::test
