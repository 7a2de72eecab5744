#include "cli/cli_port.h"

#include <cctype>

#include "engine/control_text.h"
#include "listing/format_value.h"

namespace pff::cli {

CliPort::CliPort(std::istream& in, std::ostream& err, bool interactive)
    : in_(in), err_(err), interactive_(interactive) {}

void CliPort::ReportError(Routine routine, const std::string& description) {
  ++errors_;
  // Descriptions embed entry names, which may hold any byte.
  err_ << "pff: Error in " << RoutineName(routine) << ": "
       << EscapeControls(ReplaceLineBreaks(description, " ")) << "\n";
  err_.flush();
}

void CliPort::Notify(const std::string& text) {
  err_ << "pff: " << EscapeControls(ReplaceLineBreaks(text, " ")) << "\n";
  err_.flush();
}

namespace {

std::string Side(const ReplaceSide& side) {
  return side.Name + ", Size: " + FormatFileSize(side.Size) +
         ", Modified On: " + FormatFileDate(side.FileTime, DateStyle::Good);
}

}  // namespace

std::string ReplaceQuestion(const ReplaceRequest& request) {
  // Names are raw bytes: escaped line by line, so none can start a line of its own.
  return EscapeControls("Are you sure you want to replace: " + Side(request.Entry)) + "\n" +
         EscapeControls("With This One: " + Side(request.File));
}

bool CliPort::AskReplace(const ReplaceRequest& request) {
  if (!interactive_) return false;
  err_ << "Warning!\n" << ReplaceQuestion(request) << "\n[y/N] ";
  err_.flush();
  std::string answer;
  if (!std::getline(in_, answer)) return false;
  // A Windows console ends the line with "\r\n", and standard input is binary.
  if (!answer.empty() && answer.back() == '\r') answer.pop_back();
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
