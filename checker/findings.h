#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <vector>

#include "schedule/codec.h"
#include "schedule/date.h"
#include "schedule/day_index.h"
#include "schedule/text.h"

// A schedule read by the scheduler's own rules, ahead of the day: the lines
// that can never apply or never win, what each image gets on a date, and the
// days of a year that differ from the every-day images.
namespace velkorn {

enum class LineProblem {
  // The line never applies: why, as whyNeverApplies() finds,
  TooShort,
  MonthNotTwoDigits,
  DayNotTwoDigits,
  MonthOutOfRange,
  DayOutOfRange,
  HalfEveryDay,
  NoSuchDate,
  UnknownKind,
  // or because the settings store would refuse its path.
  NotStorable,
  // It applies, but not as meant:
  NeverWins,          // a later line of its image is due on each of its days
  NoPath,             // sets the image to the empty string
  PathHasBlanks,      // leading or trailing white space, kept verbatim
  BitmapMissing,
  NotBitmap,
  // A note, not a problem:
  LeapDayOnly,
};

constexpr bool isNote(LineProblem problem) { return problem == LineProblem::LeapDayOnly; }

struct Finding {
  std::size_t lineNumber;  // 1-based
  Text line;
  LineProblem problem;
  std::size_t laterLine = 0;  // NeverWins: the last line that applies after it
};

// What the checker could learn about a bitmap path.
enum class BitmapState { NotChecked, Missing, NotBitmap, Bitmap };
using BitmapCheck = std::function<BitmapState(TextView path)>;

// The check against this system's files. Only an absolute path of this
// system is looked at: a Windows path read on Linux is not, nor is a relative
// one, whose meaning depends on where the mail checker runs.
BitmapState bitmapOnDisk(TextView path);

// Whether the settings store would write a path as it is: the store's own
// rule, which the platform knows. None: every path.
using StorableCheck = std::function<bool(TextView path)>;

struct YearDay {
  Date date;
  DayValues values;
};

struct CheckReport {
  enum class Read { Whole, OpenFailed, ReadFailed };
  Read read = Read::Whole;
  std::vector<Finding> findings;  // in line order
  std::size_t uncheckedPaths = 0;  // lines whose bitmap was not looked at
  DayValues onDate;                // on the date asked about
  DayValues everyDay;              // on a day that no dated line names
  std::vector<YearDay> year;       // each day of the date's year that differs from everyDay
  bool inUtf8 = false;             // a problem of its own: the editor and the mail checker expect the code page

  std::size_t problemCount() const;
};

// Every line of a schedule in file order, as the scheduler reads them.
CheckReport checkLines(const std::vector<Text>& lines, const Date& date, const BitmapCheck& bitmap,
                       const StorableCheck& storable = {});

// The schedule file, read line by line as the scheduler reads it.
CheckReport checkScheduleFile(const std::filesystem::path& file, const Codec& codec, const Date& date,
                              const BitmapCheck& bitmap, const StorableCheck& storable = {});

}  // namespace velkorn
