// The checker: each problem a line can have, the images of every day and the
// days of a year that differ from them. (What a day gets is the day index's,
// which a scheduler test holds to the scheduler's own pass.)

#include "checker/findings.h"

#include <gtest/gtest.h>

#include "checker/check_run.h"
#include "schedule/line_reader.h"
#include "schedule/schedule_file.h"
#include "tests/fakes.h"
#include "ui/texts.h"
#include "tests/temp_dir.h"

namespace velkorn::testing {
namespace {

using enum LineProblem;

// Which bitmaps exist is for the end-to-end tests, on real files.
BitmapState notLookedAt(TextView) { return BitmapState::NotChecked; }

struct Found {
  std::size_t line;
  LineProblem problem;
  std::size_t later = 0;
  bool operator==(const Found&) const = default;
};

TEST(Check, FindsEachLineThatNeverAppliesOrNeverWins) {
  const std::pair<std::vector<Text>, std::vector<Found>> cases[] = {
      {{U"", U"# 12/24 X", U"12-24 p ok.bmp", U"12/31 W ok", U"01/31 R ok"}, {}},
      {{U"12/24", U"12/24 "}, {{1, TooShort}, {2, TooShort}}},
      {{U"3/03 P ok", U"03/3 P ok", U"１2/24 P ok", U" #12/24 P"},
       {{1, MonthNotTwoDigits}, {2, DayNotTwoDigits}, {3, MonthNotTwoDigits}, {4, MonthNotTwoDigits}}},
      {{U"13/01 P ok", U"12/32 P ok", U"00/24 P ok", U"12/00 P ok", U"00/32 P"},
       {{1, MonthOutOfRange}, {2, DayOutOfRange}, {3, HalfEveryDay}, {4, HalfEveryDay}, {5, DayOutOfRange}}},
      {{U"02/30 P ok", U"04/31 R ok", U"02/29 W ok", U"12/24 X ok", U"12/24 ｐ ok", U"12/24  P ok", U"02/28 W ok",
        U"03/29 W ok"},
       {{1, NoSuchDate}, {2, NoSuchDate}, {3, LeapDayOnly}, {4, UnknownKind}, {5, UnknownKind}, {6, UnknownKind}}},
      {{U"12/24 P", U"12/25 P ", U"12/26 P  ok", U"00/00 R ok\u3000"},
       {{1, NoPath}, {2, NoPath}, {3, PathHasBlanks}, {4, PathHasBlanks}}},
      // The line named is the last one due on all of the hidden line's days;
      // a line that never applies, a path the store refuses among them,
      // hides nothing.
      {{U"12/24 P a", U"12/24 R b", U"00/00 p c", U"12/24 r d", U"00/00 W e", U"00/00 W f", U"12/24 W g",
        U"02/29 R h", U"00/24 W j", U"12/25 P k", U"00/00 P l", U"12/25 P m", U"12/25 P refused"},
       {{1, NeverWins, 11}, {2, NeverWins, 4}, {3, NeverWins, 11}, {5, NeverWins, 6}, {8, LeapDayOnly},
        {9, HalfEveryDay}, {10, NeverWins, 12}, {13, NotStorable}}},
  };
  const auto storable = [](TextView path) { return path != U"refused"; };
  for (const auto& [lines, expected] : cases) {
    std::vector<Found> found;
    for (const Finding& f : checkLines(lines, {2026, 12, 24}, notLookedAt, storable).findings) {
      found.push_back({f.lineNumber, f.problem, f.laterLine});
      EXPECT_EQ(f.line, lines[f.lineNumber - 1]);
    }
    EXPECT_EQ(found, expected) << toUtf8(lines[0]);
  }
}

std::string shown(const DayValues& values) {
  std::string text;
  for (const ImageValue& value : values) text += toUtf8(value.path) + "@" + std::to_string(value.lineNumber) + " ";
  return text;
}

// A dated line whose paths are every day's (12/06) makes no day of its own;
// 29 February is a day of leap years only.
TEST(Check, GivesTheImagesOfEveryDayAndOfEachDayOfTheYearThatDiffersFromThem) {
  const std::vector<Text> schedule = {U"01/01 R early", U"00/00 P p0", U"12/24 P p1", U"00/00 R r0", U"12/24 R",
                                      U"02/29 W w1",    U"12-25 w w2", U"12/24 X x",  U"# 12/24 W c", U"12/06 P p0",
                                      U"01/31 W w3",    U"11/01 W w4"};
  const std::string jan = "01/31=p0@2 r0@4 w3@11 ", leap = jan + "02/29=p0@2 r0@4 w1@6 ",
                    rest = "11/01=p0@2 r0@4 w4@12 12/24=p1@3 @5 @0 12/25=p0@2 r0@4 w2@7 ";
  const std::pair<Date, std::string> cases[] = {
      {{2026, 12, 24}, jan + rest}, {{2028, 2, 29}, leap + rest}, {{2100, 12, 6}, jan + rest}};
  for (const auto& [date, year] : cases) {
    const CheckReport report = checkLines(schedule, date, notLookedAt);
    EXPECT_EQ(shown(report.everyDay), "p0@2 r0@4 @0 ");
    std::string days;
    for (const YearDay& day : report.year) {
      const auto field = dateFieldOf(day.date);
      days += std::string(field.begin(), field.end()) + "=" + shown(day.values);
    }
    EXPECT_EQ(days, year) << date.year;
    EXPECT_EQ(report.uncheckedPaths, 9u);
  }
}

// The command line: what is printed where, and the exit status; today,
// whether the settings hold today's images, on another day nothing of them.
// (The rest of the report is the end-to-end tests'.)
TEST(CheckRun, AnswersEachCommandLine) {
  TempDir dir;
  dir.write("velkorn.txt", "00/00 P a.bmp\r\n");
  const auto leap = dir.write("leap.txt", "00/00 P a.bmp\r\n02/29 W leap.bmp\r\n12/24 R \x95\x5C.bmp\r\n");
  const auto utf8 = dir.write("utf8.txt", "\xEF\xBB\xBF" "00/00 P a.bmp\r\n");
  const auto unreadable = dir.write("long.txt", "00/00 P a.bmp\r\n" + std::string(LineReader::kMaxLine + 1, 'q'));
  const Text usage(texts::kCheckUsage), bad = U"指定が正しくありません：";
  const std::map<std::string_view, Text> held = {{"velkornBitmap", U"a.bmp"}, {"readButtonBitmap", U""}, {"compositeButtonBitmap", U""}};
  const auto stored = [&](std::string_view name) { return held.contains(name) ? std::optional(held.at(name)) : std::nullopt; };
  using enum CheckOutcome;
  // The output: a part of it.
  const std::tuple<std::vector<std::filesystem::path>, bool, CheckOutcome, Text, Text> cases[] = {
      {{"--date"}, true, BadArguments, U"", bad + U"--date\n" + usage},
      {{"--year", "--frob"}, true, BadArguments, U"", bad + U"--frob\n" + usage},
      {{"a.txt", "b.txt"}, true, BadArguments, U"", bad + U"b.txt\n" + usage},
      {{"--date", "02/30"}, true, BadArguments, U"", bad + U"02/30\n" + usage},
      {{"--date", "13/01"}, true, BadArguments, U"", bad + U"13/01\n" + usage},
      {{"--date", "12-24"}, true, BadArguments, U"", bad + U"12-24\n" + usage},
      {{"--date", "01/31", "--date", "02/29", "--help"}, true, NoProblems, usage, U""},
      {{"--year"}, true, NoProblems,
       U"（空）\n" + Text(texts::kCheckStoredAgree) + U"\n\n2028 年に毎日の画像と違う日はありません。\n", U""},
      {{leap}, true, NoProblems, Text(texts::kCheckStoredDisagree) + U"\n", U""},
      {{utf8}, true, ProblemsFound, U"問題が 1 件あります。\n" + Text(texts::kCheckInUtf8) + U"\n1 行のパスは、", U""},
      {{leap, "--date", "12/01", "--year"}, true, NoProblems,
       U"当てはまる行なし\n\n2028 年に毎日の画像と違う日（* が違う画像）：\n"
       U"日付     郵便屋さん    読む？    書くの？\n"
       U"毎日     a.bmp         （空）    （空）\n"
       U"02/29    a.bmp         （空）  * leap.bmp\n"
       U"12/24    a.bmp       * 表.bmp    （空）\n", U""},
      {{unreadable}, true, ScheduleUnreadable, U"", U"設定ファイルを読み込めませんでした：" + displayPath(unreadable) + U"\n"},
      {{}, false, ScheduleUnreadable, U"", U"設定ファイルを開けませんでした：velkorn.txt\n"}};
  for (const auto& [arguments, knowsItsFolder, outcome, outputPart, errors] : cases) {
    const CheckRun run =
        runCheck({kCodec, {2028, 12, 24}, knowsItsFolder ? std::optional(dir.path()) : std::nullopt, arguments, stored});
    EXPECT_EQ(run.outcome, outcome) << toUtf8(errors);
    EXPECT_TRUE(run.output.find(outputPart) != Text::npos && run.output.empty() == outputPart.empty()) << toUtf8(run.output);
    EXPECT_EQ(run.errors, errors);
  }
}

}  // namespace
}  // namespace velkorn::testing
