#include "cli/args.h"

#include <cerrno>
#include <cstdlib>

namespace pff::cli {

std::vector<std::string> ParsedArgs::All(const std::string& name) const {
  auto it = Options.find(name);
  return it == Options.end() ? std::vector<std::string>{} : it->second;
}

std::optional<std::string> ParsedArgs::Last(const std::string& name) const {
  auto it = Options.find(name);
  if (it == Options.end() || it->second.empty()) return std::nullopt;
  return it->second.back();
}

namespace {

const OptionSpec* FindSpec(const std::vector<OptionSpec>& specs, const std::string& name) {
  for (const auto& spec : specs) {
    if (spec.Name == name) return &spec;
  }
  return nullptr;
}

}  // namespace

ParsedArgs ParseArgs(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs) {
  ParsedArgs parsed;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    // A lone "-" is a file name by convention, never an option.
    if (optionsEnded || word.size() < 2 || word[0] != '-') {
      parsed.Positionals.push_back(word);
      continue;
    }
    if (word == "--") {
      optionsEnded = true;
      continue;
    }
    if (word == "--help" || word == "-h") {
      parsed.Help = true;
      continue;
    }
    std::string name = word;
    std::optional<std::string> inlineValue;
    size_t equals = word.find('=');
    if (word.rfind("--", 0) == 0 && equals != std::string::npos) {
      name = word.substr(0, equals);
      inlineValue = word.substr(equals + 1);
    }
    const OptionSpec* spec = FindSpec(specs, name);
    if (!spec) throw UsageError("unknown option " + name);
    auto& values = parsed.Options[name];
    if (!spec->TakesValue) {
      if (inlineValue) throw UsageError("option " + name + " takes no value");
      continue;
    }
    if (inlineValue) {
      values.push_back(*inlineValue);
    } else if (i + 1 < args.size()) {
      values.push_back(args[++i]);
    } else {
      throw UsageError("option " + name + " needs a value");
    }
  }
  return parsed;
}

std::optional<int32_t> ParseInt32(const std::string& text) {
  if (text.empty()) return std::nullopt;
  size_t start = (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (start == text.size()) return std::nullopt;
  for (size_t i = start; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
  }
  errno = 0;
  char* end = nullptr;
  long long value = std::strtoll(text.c_str(), &end, 10);
  if (errno == ERANGE || value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

std::optional<WallClock> ParseDate(const std::string& text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
  }
  WallClock clock;
  clock.Year = std::atoi(text.substr(0, 4).c_str());
  clock.Month = std::atoi(text.substr(5, 2).c_str());
  clock.Day = std::atoi(text.substr(8, 2).c_str());
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (clock.Month < 1 || clock.Month > 12 || clock.Day < 1) return std::nullopt;
  bool leap = (clock.Year % 4 == 0 && clock.Year % 100 != 0) || clock.Year % 400 == 0;
  int days = kDays[clock.Month - 1] + (clock.Month == 2 && leap ? 1 : 0);
  if (clock.Day > days) return std::nullopt;
  return clock;
}

}  // namespace pff::cli
