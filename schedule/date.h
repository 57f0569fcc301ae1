#pragma once

#include <array>

#include "schedule/text.h"

namespace velkorn {

struct Date {
  int year = 0;
  int month = 0;  // 1-12
  int day = 0;    // 1-31
};

// Month and day as the two-character fields of a schedule entry ("03", "24").
struct DayKey {
  std::array<char, 2> month{};
  std::array<char, 2> day{};
};

DayKey dayKeyOf(const Date& date);

// A two-character field ("03") as its number; -1 unless it is two ASCII
// digits, as only those can equal a date's field.
int fieldNumber(TextView field);

// The date field "MM/DD" of a composed entry.
std::array<char, 5> dateFieldOf(const Date& date);

constexpr bool isLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

// `month` 1-12.
constexpr int daysInMonth(int month, bool leapYear) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && leapYear ? 29 : kDays[month - 1];
}

// The 24th and 25th of December, when the scheduler shows its notice first.
constexpr bool isHoliday(const Date& date) {
  return date.month == 12 && (date.day == 24 || date.day == 25);
}

}  // namespace velkorn
