#include "cli/filter_options.h"

#include <climits>
#include <cstdint>
#include <string>
#include <tuple>

#include "engine/file_time.h"
#include "engine/text_encoding.h"

namespace pff::cli {

namespace {

bool IsEarlier(const WallClock& a, const WallClock& b) {
  return std::tie(a.Year, a.Month, a.Day, a.Hour, a.Minute, a.Second) <
         std::tie(b.Year, b.Month, b.Day, b.Hour, b.Minute, b.Second);
}

int32_t SizeBound(const ParsedArgs& args, const std::string& option, int32_t fallback) {
  auto text = args.Last(option);
  if (!text) return fallback;
  auto value = ParseInt32(*text);
  if (!value || *value < 0) throw UsageError(option + " needs a byte count, not \"" + *text + "\"");
  return *value;
}

// A date bound as a stored time. --from starts at 00:00:00 of its day and --to
// ends at 23:59:59 of its day, so a day given as --to is listed whole. A day
// beyond the stored times' range leaves that side open, or, for a --from
// after the range or a --to before it, lets no entry pass.
int32_t DateBound(const ParsedArgs& args, const std::string& option, bool upper, int32_t open,
                  bool& nothingPasses) {
  auto text = args.Last(option);
  if (!text) return open;
  auto date = ParseDate(*text);
  if (!date) throw UsageError(option + " needs a date YYYY-MM-DD, not \"" + *text + "\"");
  if (upper) {
    date->Hour = 23;
    date->Minute = 59;
    date->Second = 59;
  }
  if (auto fileTime = FileTimeFromWallClock(*date)) return *fileTime;
  bool beforeRange = IsEarlier(*date, WallClockFromFileTime(INT32_MIN));
  if (beforeRange == upper) nothingPasses = true;
  return open;
}

}  // namespace

std::vector<OptionSpec> WithFilterOptions(std::vector<OptionSpec> own) {
  for (const char* name :
       {"--type", "--exclude-type", "--name", "--min-size", "--max-size", "--from", "--to"})
    own.push_back({name, true});
  return own;
}

FilterSettings BuildFilter(const ParsedArgs& args) {
  FilterSettings filter;
  // A repeatable type option becomes a type list and switches it on.
  if (auto types = args.All("--type"); !types.empty()) SetTypeList(filter, TypeList::Isolate, types);
  if (auto types = args.All("--exclude-type"); !types.empty()) SetTypeList(filter, TypeList::Exclude, types);
  if (auto name = args.Last("--name")) {
    filter.NameOn = true;
    filter.NameText = Utf8ToLatin1(*name);
  }
  if (args.Has("--min-size") || args.Has("--max-size")) {
    filter.SizeOn = true;
    filter.SizeMin = SizeBound(args, "--min-size", filter.SizeMin);
    filter.SizeMax = SizeBound(args, "--max-size", filter.SizeMax);
  }
  if (args.Has("--from") || args.Has("--to")) {
    filter.DateOn = true;
    // Without --from, entries dated before the stored-time origin must still pass.
    bool nothingPasses = false;
    filter.DateFrom = DateBound(args, "--from", false, INT32_MIN, nothingPasses);
    filter.DateTo = DateBound(args, "--to", true, INT32_MAX, nothingPasses);
    if (nothingPasses) {
      filter.DateFrom = INT32_MAX;
      filter.DateTo = INT32_MIN;
    }
  }
  filter.Active = filter.IsolateOn || filter.ExcludeOn || filter.NameOn || filter.SizeOn || filter.DateOn;
  return filter;
}

}  // namespace pff::cli
