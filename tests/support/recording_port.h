#pragma once
// A window stand-in that records what the engine asked of it.

#include <deque>
#include <string>
#include <vector>

#include "engine/frontend.h"

namespace pff::test {

class RecordingPort : public Frontend {
 public:
  struct Error {
    Routine routine;
    std::string description;
  };
  std::vector<Error> errors;
  std::vector<ReplaceRequest> questions;
  std::deque<bool> answers;  // next answers to AskReplace; No when empty
  std::vector<std::string> notices;

  void ReportError(Routine routine, const std::string& description) override {
    errors.push_back({routine, description});
  }
  void Notify(const std::string& text) override { notices.push_back(text); }
  bool AskReplace(const ReplaceRequest& request) override {
    questions.push_back(request);
    const bool answer = !answers.empty() && answers.front();
    if (!answers.empty()) answers.pop_front();
    return answer;
  }

  /// Routine names of the errors, in order.
  std::vector<Routine> ErrorRoutines() const {
    std::vector<Routine> names;
    for (const Error& e : errors) names.push_back(e.routine);
    return names;
  }
};

}  // namespace pff::test
