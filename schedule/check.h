#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "schedule/codec.h"
#include "schedule/date.h"
#include "schedule/text.h"

// A schedule read by the scheduler's own rules, ahead of the day: the lines
// that can never apply or never win, what each image gets on a date, and the
// days of a year that differ from the every-day images.
namespace velkorn {

enum class LineProblem {
  // The line never applies:
  TooShort,           // no room for the date and the kind
  MonthNotTwoDigits,
  DayNotTwoDigits,
  MonthOutOfRange,    // neither 01-12 nor 00
  DayOutOfRange,      // neither 01-31 nor 00
  HalfEveryDay,       // 00 for only one of month and day
  NoSuchDate,         // 02/30, 04/31
  UnknownKind,
  NotStorable,        // the settings store would refuse its path
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

// The value an image gets on a day.
struct ImageValue {
  Text path;
  std::size_t lineNumber = 0;  // the line it comes from; 0: none is due, the image is reset
};
using DayValues = std::array<ImageValue, 3>;  // indexed by ImageKind

// Bit d set for day d (1-31) of a month.
using DaySet = std::bitset<32>;

// The last line of each image on each day that lines name, and on every day:
// what the scheduler's pass ends with on any date, without a pass. Lines go
// in in file order; one that can never apply is left out.
class DayIndex {
 public:
  // Nothing when the line is kept; otherwise the first reason it never
  // applies.
  std::optional<LineProblem> add(std::size_t lineNumber, TextView line);

  // What each image gets on the day; month and day 0: on a day that no line
  // names. `month` 0-12, `day` 0-31.
  DayValues valuesOn(int month, int day) const;

  // The days of the month that a line names for itself, not every day
  // (29 February in a leap year only).
  DaySet datedDays(int year, int month) const;

 private:
  static std::size_t slot(int month, int day) { return static_cast<std::size_t>(month * 32 + day); }
  std::array<DayValues, 13 * 32> last_{};  // by slot(); slot(0, 0) is every day
};

// The editor's list indexed, its lines split where the scheduler's reader
// will split them once it is saved (CR LF, a lone CR or a lone LF).
DayIndex indexList(TextView listText);

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
