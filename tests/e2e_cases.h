#pragma once

// The built scheduler end to end: one table of runs for both builds. Each
// build's test runs its own program on the date given, in a directory of its
// own, from another working directory, and reports what it saw; the table's
// expectations are checked here. (The Windows tests' CMake file reads the
// names and dates from this table.)

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <vector>

#include "schedule/kinds.h"
#include "ui/texts.h"

namespace velkorn::testing {

enum class Setup { Schedule, NoSchedule, UnwritableStore };

struct RunCase {
  const char* name;
  const char* date;  // local time, as faketime takes it
  Setup setup;
  const char* schedule;  // CP932 bytes
  int exitCode;
  std::vector<TextView> messages;  // every box, all titled "velkorn"
  std::array<const char32_t*, 3> stored;  // P, R, W; nullptr: nothing stored
};

// 郵便屋さん in a comment; 表, whose second byte is 0x5C, and 絵 in a path;
// a path with a space and trailing spaces; an unknown kind; a date that
// never comes.
inline constexpr const char* kSchedule =
    "# \x97\x58\x95\xD6\x89\xAE\x82\xB3\x82\xF1\r\n"
    "00/00 P C:\\\x95\x5C\\\x8A\x47.bmp\r\n"
    "12/24 R C:\\xmas read.bmp  \r\n"
    "00/00 Q unknown.bmp\r\n"
    "03/03 W C:\\hina.bmp\r\n"
    "02/30 W never.bmp\r\n";

inline const RunCase kRunCases[] = {
    {"OrdinaryDay", "2026-03-03 08:00:00", Setup::Schedule, kSchedule, 0, {},
     {U"C:\\表\\絵.bmp", U"", U"C:\\hina.bmp"}},
    {"ChristmasEve", "2026-12-24 23:59:00", Setup::Schedule, kSchedule, 0, {texts::kHolidayNotice},
     {U"C:\\表\\絵.bmp", U"C:\\xmas read.bmp  ", U""}},
    {"MissingSchedule", "2026-06-01 12:00:00", Setup::NoSchedule, "", 1, {texts::kScheduleOpenFailed},
     {nullptr, nullptr, nullptr}},
    {"UnwritableStore", "2026-06-01 12:00:00", Setup::UnwritableStore,
     "00/00 P a.bmp\r\n00/00 X b.bmp\r\n00/00 W c.bmp\r\n", 2,
     {texts::kFigureWriteFailed, texts::kWriteButtonWriteFailed}, {nullptr, nullptr, nullptr}},
};

inline std::string caseName(const ::testing::TestParamInfo<RunCase>& info) { return info.param.name; }
inline void PrintTo(const RunCase& c, std::ostream* out) { *out << c.name; }

// What a run left: its exit status, the texts of its messages (the open
// failure's with the schedule's path), and the three stored values.
struct Observed {
  int exitCode = -1;
  std::vector<Text> messages;
  std::array<std::optional<Text>, 3> stored;
};

inline void expectOutcome(const RunCase& c, const Observed& seen, TextView schedulePath) {
  EXPECT_EQ(seen.exitCode, c.exitCode);
  std::vector<Text> messages(c.messages.begin(), c.messages.end());
  if (c.setup == Setup::NoSchedule) messages[0] += schedulePath;
  EXPECT_EQ(seen.messages, messages);
  for (const KindInfo& info : imageKinds()) {
    const auto i = static_cast<std::size_t>(info.kind);
    const auto expected = c.stored[i] ? std::optional<Text>(c.stored[i]) : std::nullopt;
    EXPECT_EQ(seen.stored[i], expected) << info.valueName;
  }
}

}  // namespace velkorn::testing
