#include "schedule/entry.h"

#include <algorithm>

namespace velkorn {

namespace {

constexpr std::size_t kMonthAt = 0;
constexpr std::size_t kDayAt = 3;
constexpr std::size_t kKindAt = 6;
constexpr std::size_t kPathAt = 8;

// A field that the line is too short to hold never matches.
bool fieldEquals(TextView line, std::size_t at, const std::array<char, 2>& value) {
  return line.size() >= at + 2 && line[at] == static_cast<char32_t>(value[0]) &&
         line[at + 1] == static_cast<char32_t>(value[1]);
}

constexpr std::array<char, 2> kZeroField{'0', '0'};

}  // namespace

bool isComment(TextView line) {
  return !line.empty() && line.front() == U'#';
}

bool isEveryDay(TextView line) {
  return fieldEquals(line, kMonthAt, kZeroField) && fieldEquals(line, kDayAt, kZeroField);
}

// A comment is never due: its first character, "#", matches no month field.
bool isDue(TextView line, const DayKey& today) {
  return (fieldEquals(line, kMonthAt, today.month) && fieldEquals(line, kDayAt, today.day)) ||
         isEveryDay(line);
}


std::optional<ImageKind> kindOf(TextView line) {
  if (line.size() <= kKindAt) return std::nullopt;
  return kindFromLetter(line[kKindAt]);
}

TextView monthField(TextView line) {
  return line.substr(kMonthAt, 2);
}

TextView dayField(TextView line) {
  return line.substr(std::min(line.size(), kDayAt), 2);
}

TextView pathOf(TextView line) {
  return line.substr(std::min(line.size(), kPathAt));
}

Text composeEntry(TextView dateField, char32_t letter, TextView path) {
  Text line(dateField);
  line += U' ';
  line += letter;
  line += U' ';
  line += path;
  return line;
}

}  // namespace velkorn
