// checker/: velkorn-check's command line and the report it prints.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "checker/findings.h"
#include "schedule/codec.h"
#include "schedule/date.h"
#include "schedule/text.h"

namespace velkorn {

struct CheckPlatform {
  const Codec& codec;
  Date today;
  std::optional<std::filesystem::path> programDirectory;  // nothing: the platform cannot tell
  // The command line after the program's name; as paths, so that a file
  // name keeps its bytes whatever their encoding.
  std::vector<std::filesystem::path> arguments;
  // What the mail checker's settings hold now, read only; nothing for a
  // value that is not there.
  std::function<std::optional<Text>(std::string_view valueName)> stored;
  // The settings store's own rule for the paths it writes (none: every
  // path), and the code page it writes in, for the report (0: it lacks no
  // character, only bytes that are no character are refused).
  StorableCheck storable = {};
  unsigned storeCodePage = 0;
};

// The process exit status.
enum class CheckOutcome {
  NoProblems = 0,
  ScheduleUnreadable = 1,
  BadArguments = 2,
  ProblemsFound = 3,
};

struct CheckRun {
  Text output;  // for standard output; every line ends in "\n"
  Text errors;  // for standard error
  CheckOutcome outcome;
};

// velkorn-check [--date MM/DD] [--year] [FILE]: the schedule beside the
// program unless FILE is given, checked for today unless a date is.
CheckRun runCheck(const CheckPlatform& platform);

// What the settings hold now, by ImageKind; nothing for a value not there.
using StoredValues = std::array<std::optional<Text>, 3>;

// The report as the program prints it: the findings, the images on `date`,
// with `stored` (today only) what the settings hold beside them, and with
// `withYear` the days of the date's year that differ from every day. A path
// the store refuses is told with its `storeCodePage` (as in CheckPlatform).
Text renderReport(const CheckReport& report, TextView fileName, const Date& date, const StoredValues* stored,
                  bool withYear, unsigned storeCodePage);

}  // namespace velkorn
