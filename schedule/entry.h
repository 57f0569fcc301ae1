#pragma once

#include <optional>

#include "schedule/date.h"
#include "schedule/kinds.h"
#include "schedule/text.h"

// A schedule line is read purely by character position:
//   MM/DD K path     (positions 1-2 month, 4-5 day, 7 kind, 9.. path)
// Positions 3, 6 and 8 are never examined. "00/00" is due every day.
namespace velkorn {

bool isComment(TextView line);

bool isEveryDay(TextView line);

// Not a comment, and either the month and day fields equal today's or both
// fields are "00".
bool isDue(TextView line, const DayKey& today);

// A cheap test on the line's undecoded bytes that every due line passes: a
// digit or other ASCII byte is a character of its own in every ANSI code page,
// so the fields can be found in the bytes unless a wider character comes
// first. Lets a reader skip decoding nearly every line. Inline: the
// scheduler asks it of every line.
inline bool mayBeDue(BytesView raw, const DayKey& today) {
  if (raw.size() < 5) return false;  // five characters take at least five bytes
  const auto bytesAre = [&](std::size_t at, char first, char second) {
    return raw[at] == first && raw[at + 1] == second;
  };
  const bool todaysMonth = bytesAre(0, today.month[0], today.month[1]);
  const bool everyMonth = bytesAre(0, '0', '0');
  if (!todaysMonth && !everyMonth) return false;
  // A non-ASCII third byte may start a wider character that moves the day
  // field; only decoding can tell.
  if (static_cast<unsigned char>(raw[2]) >= 0x80) return true;
  return (todaysMonth && bytesAre(3, today.day[0], today.day[1])) || (everyMonth && bytesAre(3, '0', '0'));
}

// Character 7, upper-cased; nothing when it is not a known letter or missing.
std::optional<ImageKind> kindOf(TextView line);

// Characters 1-2 and 4-5; shorter or empty for a shorter line.
TextView monthField(TextView line);
TextView dayField(TextView line);

// Characters 9 to the end of the line, verbatim; empty for a shorter line.
TextView pathOf(TextView line);

// "date field, space, letter, space, path"; neither the date nor the path is
// examined.
Text composeEntry(TextView dateField, char32_t letter, TextView path);

inline constexpr TextView kEveryDayField = U"00/00";

}  // namespace velkorn
