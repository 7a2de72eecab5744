#include "engine/archive_check.h"

namespace pff {

int CheckReport::Errors() const {
  int n = 0;
  for (const CheckFinding& f : Findings) n += f.Level == Severity::Error;
  return n;
}

int CheckReport::Warnings() const { return static_cast<int>(Findings.size()) - Errors(); }

CheckReport CheckArchive(const std::string& path) {
  CheckReport report;
  report.Path = path;
  report.Findings.push_back({Severity::Error, 0, {}, "Checking is not built yet."});
  return report;
}

std::string FindingText(const CheckFinding& finding) {
  std::string text = finding.Level == Severity::Error ? "error: " : "warning: ";
  if (finding.Entry != 0) text += "entry " + std::to_string(finding.Entry) + " \"" + finding.Name + "\": ";
  return text + finding.Text;
}

std::string CheckSummary(const CheckReport& report) {
  return report.Path + ": " + std::to_string(report.Errors()) + " errors, " +
         std::to_string(report.Warnings()) + " warnings, " + std::to_string(report.EntryCount) +
         " entries (" + std::to_string(report.IntactEntries) + " intact)";
}

}  // namespace pff
