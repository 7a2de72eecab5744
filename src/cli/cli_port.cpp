#include "cli/cli_port.h"

#include <cctype>

#include "engine/control_text.h"

namespace pff::cli {

CliPort::CliPort(std::istream& in, std::ostream& err, bool interactive)
    : in_(in), err_(err), interactive_(interactive) {}

void CliPort::ReportError(const std::string& routine, const std::string& description) {
  ++errors_;
  // Descriptions embed entry names, which may hold any byte.
  err_ << "pff: Error in " << routine << ": " << EscapeControls(ReplaceLineBreaks(description, " ")) << "\n";
  err_.flush();
}

void CliPort::Notify(const std::string& text) {
  err_ << "pff: " << EscapeControls(ReplaceLineBreaks(text, " ")) << "\n";
  err_.flush();
}

bool CliPort::AskYesNo(const std::string& title, const std::string& text) {
  if (!interactive_) return false;
  err_ << EscapeControls(title) << "\n" << EscapeControls(ReplaceLineBreaks(text, "\n"), "\n") << "\n[y/N] ";
  err_.flush();
  std::string answer;
  if (!std::getline(in_, answer)) return false;
  for (auto& c : answer) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return answer == "y" || answer == "yes";
}

std::string ReplaceLineBreaks(const std::string& text, const std::string& with) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += with;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace pff::cli
