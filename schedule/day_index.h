#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <optional>

#include "schedule/text.h"

// What each image gets on any day, by the scheduler's own rules, without a
// pass over the file: for the checker and for the editor's calendar.
namespace velkorn {

// Why a line can apply on no day at all.
enum class NeverApplies {
  TooShort,           // no room for the date and the kind
  MonthNotTwoDigits,
  DayNotTwoDigits,
  MonthOutOfRange,    // neither 01-12 nor 00
  DayOutOfRange,      // neither 01-31 nor 00
  HalfEveryDay,       // 00 for only one of month and day
  NoSuchDate,         // 02/30, 04/31
  UnknownKind,
};

// The first reason the line applies on no day (a comment's is that its
// month is no number); nothing when it applies on some day.
std::optional<NeverApplies> whyNeverApplies(TextView line);

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
  std::optional<NeverApplies> add(std::size_t lineNumber, TextView line);

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

}  // namespace velkorn
