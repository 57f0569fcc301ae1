#include "schedule/date.h"

namespace velkorn {

namespace {

// The number (a month or a day, so 1-31) as decimal text, with a "0" in front
// of a single digit.
std::array<char, 2> twoDigits(int n) {
  return {static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
}

}  // namespace

int fieldNumber(TextView field) {
  const auto digit = [](char32_t c) { return c >= U'0' && c <= U'9'; };
  if (field.size() != 2 || !digit(field[0]) || !digit(field[1])) return -1;
  return static_cast<int>(field[0] - U'0') * 10 + static_cast<int>(field[1] - U'0');
}

DayKey dayKeyOf(const Date& date) {
  return {twoDigits(date.month), twoDigits(date.day)};
}

std::array<char, 5> dateFieldOf(const Date& date) {
  const DayKey key = dayKeyOf(date);
  return {key.month[0], key.month[1], '/', key.day[0], key.day[1]};
}

}  // namespace velkorn
