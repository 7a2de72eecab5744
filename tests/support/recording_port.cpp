#include "support/recording_port.h"

namespace pff::test {

void RecordingPort::ReportError(const std::string& routine, const std::string& description) {
  errors.push_back({routine, description});
}

bool RecordingPort::AskYesNo(const std::string& title, const std::string& text) {
  questions.emplace_back(title, text);
  if (answers.empty()) return false;
  bool answer = answers.front();
  answers.pop_front();
  return answer;
}

void RecordingPort::ArchiveLoaded(int index, const std::string& fileName) {
  loaded.emplace_back(index, fileName);
}

std::vector<std::string> RecordingPort::ErrorRoutines() const {
  std::vector<std::string> names;
  for (const auto& e : errors) names.push_back(e.routine);
  return names;
}

}  // namespace pff::test
