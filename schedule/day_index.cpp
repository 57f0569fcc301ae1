#include "schedule/day_index.h"

#include <algorithm>

#include "schedule/date.h"
#include "schedule/entry.h"
#include "schedule/kinds.h"

namespace velkorn {

namespace {

constexpr std::size_t kKindLength = 7;  // up to and with the kind letter

}  // namespace

std::optional<NeverApplies> whyNeverApplies(TextView line) {
  if (line.size() < kKindLength) return NeverApplies::TooShort;
  const int month = fieldNumber(monthField(line));
  const int day = fieldNumber(dayField(line));
  if (month < 0) return NeverApplies::MonthNotTwoDigits;
  if (day < 0) return NeverApplies::DayNotTwoDigits;
  if (month > 12) return NeverApplies::MonthOutOfRange;
  if (day > 31) return NeverApplies::DayOutOfRange;
  if ((month == 0) != (day == 0)) return NeverApplies::HalfEveryDay;
  if (month != 0 && day > daysInMonth(month, true)) return NeverApplies::NoSuchDate;
  if (!kindOf(line)) return NeverApplies::UnknownKind;
  return std::nullopt;
}

std::optional<NeverApplies> DayIndex::add(std::size_t lineNumber, TextView line) {
  if (const auto reason = whyNeverApplies(line)) return reason;
  ImageValue& last = last_[slot(fieldNumber(monthField(line)), fieldNumber(dayField(line)))]
                          [static_cast<std::size_t>(*kindOf(line))];
  last.path.assign(pathOf(line));  // into the slot's own buffer: few allocations on a long list
  last.lineNumber = lineNumber;
  return std::nullopt;
}

// On a day, the later of the day's own line and the every-day line wins, as
// in the scheduler's pass.
DayValues DayIndex::valuesOn(int month, int day) const {
  DayValues values = last_[slot(0, 0)];
  const DayValues& named = last_[slot(month, day)];
  for (std::size_t kind = 0; kind < values.size(); ++kind) {
    if (named[kind].lineNumber > values[kind].lineNumber) values[kind] = named[kind];
  }
  return values;
}

DaySet DayIndex::datedDays(int year, int month) const {
  DaySet days;
  for (int day = 1; day <= daysInMonth(month, isLeapYear(year)); ++day) {
    const DayValues& named = last_[slot(month, day)];
    days[static_cast<std::size_t>(day)] =
        std::ranges::any_of(named, [](const ImageValue& value) { return value.lineNumber != 0; });
  }
  return days;
}

DayIndex indexList(TextView listText) {
  DayIndex index;
  std::size_t lineNumber = 0;
  for (std::size_t at = 0; at < listText.size();) {
    const std::size_t end = std::min(listText.find_first_of(U"\r\n", at), listText.size());
    index.add(++lineNumber, listText.substr(at, end - at));
    at = end + (listText.substr(end).starts_with(U"\r\n") ? 2 : 1);
  }
  return index;
}

}  // namespace velkorn
