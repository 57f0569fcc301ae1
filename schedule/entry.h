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
// first. Lets a reader skip decoding nearly every line.
bool mayBeDue(BytesView rawLine, const DayKey& today);

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
