#pragma once

#include <array>

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

// The date field "MM/DD" of a composed entry.
std::array<char, 5> dateFieldOf(const Date& date);

// The 24th and 25th of December, when the scheduler shows its notice first.
constexpr bool isHoliday(const Date& date) {
  return date.month == 12 && (date.day == 24 || date.day == 25);
}

}  // namespace velkorn
