#include "scheduler/daily_run.h"

#include <gtest/gtest.h>

#include <new>
#include <random>

#include "schedule/day_index.h"
#include "schedule/kinds.h"
#include "schedule/line_reader.h"
#include "schedule/schedule_file.h"
#include "scheduler/scheduler_start.h"
#include "tests/fakes.h"
#include "tests/temp_dir.h"

namespace velkorn::testing {
namespace {

using Strings = std::vector<std::string>;
constexpr Date kEve{2026, 12, 24}, kOrdinaryDay{2026, 3, 3};
const std::string kNotice = "velkorn|i|今日はWinbiffのビットマップを変更できません。";
const Strings kResets = {"velkornBitmap=", "readButtonBitmap=", "compositeButtonBitmap=", "commit"};

// One scheduler run over a schedule file in a fresh directory, with fakes.
class DailyRun : public ::testing::Test {
 protected:
  RunOutcome run(Date today, std::set<std::size_t> failing = {}) {
    store = {};
    store.failing = std::move(failing);
    messages = {};
    events = {};
    SchedulerPlatform platform{store, messages, events, kCodec, today, dir.path()};
    return runDaily(platform);
  }

  TempDir dir;
  FakeStore store;
  RecordingMessageBox messages;
  CountingEventPump events;
};

TEST_F(DailyRun, AppliesTheDueEntriesInFileOrderThenResetsTheRest) {
  struct Case {
    const char* schedule;
    Date today;
    std::set<std::size_t> failing;
    Strings writes, messages;
  };
  const std::string everyDayFirst = "00/00 P a\r\n12/24 P b\r\n# 12/24 R c\r\n00/00 W w\r\n";
  const Case cases[] = {
      {everyDayFirst.c_str(), kEve, {}, {"velkornBitmap=a", "velkornBitmap=b", "compositeButtonBitmap=w",
                                         "readButtonBitmap=", "commit"}, {kNotice}},
      {everyDayFirst.c_str(), kOrdinaryDay, {},
       {"velkornBitmap=a", "compositeButtonBitmap=w", "readButtonBitmap=", "commit"}, {}},
      {"", {2026, 12, 25}, {}, kResets, {kNotice}},
      {"#12/23 P x\r\n\r\n1/5 P x\r\n12/23 X c\r\n", {2026, 12, 23}, {}, kResets, {}},
      {"", {2026, 11, 24}, {}, kResets, {}},
      {"", {2026, 12, 26}, {}, kResets, {}},
      // UTF-8, with its mark or without: a line that reads differently in the
      // code page waits, with the lines after it, until the file has told.
      {"00/00 P \xE9\x83\xB5\r\n00/00 P a\r\n", kOrdinaryDay, {}, {"velkornBitmap=郵", "velkornBitmap=a", "readButtonBitmap=",
                                                                  "compositeButtonBitmap=", "commit"}, {}},
      {"00/00 R \xE9\x83\xB5\r\n# \x97\x58\r\n00/00 R r\r\n", kOrdinaryDay, {},
       {"readButtonBitmap=\uFFFD\uFFFD\uFFFD", "readButtonBitmap=r", "velkornBitmap=", "compositeButtonBitmap=", "commit"}, {}},
      // A failed write is reported; a kind is reset only if none of its
      // writes succeeded; a failed reset is silent.
      {"00/00 R r1\r\n00/00 R r2\r\n00/00 W w\r\n00/00 P p1\r\n00/00 P p2\r\n", kOrdinaryDay, {0, 2, 4},
       {"readButtonBitmap=r1", "readButtonBitmap=r2", "compositeButtonBitmap=w", "velkornBitmap=p1", "velkornBitmap=p2",
        "compositeButtonBitmap=", "commit"},
       {"velkorn|x|「読む？」の画像変更に失敗しました。", "velkorn|x|「書くの？」の画像変更に失敗しました。",
        "velkorn|x|郵便屋さんの画像変更に失敗しました。"}},
      {"", kOrdinaryDay, {2}, kResets, {}},
      // A commit that fails undoes every write: those of due entries fail.
      {"00/00 W w\r\n00/00 P p\r\n", kOrdinaryDay, {3},
       {"compositeButtonBitmap=w", "velkornBitmap=p", "readButtonBitmap=", "commit"},
       {"velkorn|x|郵便屋さんの画像変更に失敗しました。", "velkorn|x|「書くの？」の画像変更に失敗しました。"}},
  };
  for (const Case& c : cases) {
    dir.write("velkorn.txt", c.schedule);
    const RunOutcome outcome = run(c.today, c.failing);
    EXPECT_EQ(outcome, c.failing.empty() ? RunOutcome::Applied : RunOutcome::SomeWriteFailed) << c.schedule;
    EXPECT_EQ(store.writes, c.writes) << c.schedule;
    EXPECT_EQ(messages.shown, c.messages) << c.schedule;
    EXPECT_EQ(events.calls, std::ranges::count(std::string_view(c.schedule), '\n')) << "once per line";
  }
}

// Nothing is written when it cannot be opened, and the holiday notice still
// comes first; a read that fails part-way keeps what the lines before it
// wrote, and resets nothing; so does a start whose run throws. Without its
// own directory the program reads nothing.
TEST_F(DailyRun, UnreadableScheduleIsReportedWithItsPath) {
  std::filesystem::create_directory(dir.path() / "velkorn.txt");
  EXPECT_EQ(run(kEve), RunOutcome::ScheduleUnreadable);
  EXPECT_TRUE(store.writes.empty());
  const std::string file = toUtf8(displayPath(dir.path() / "velkorn.txt"));
  const std::string readFailed = "velkorn|x|設定ファイルを読み込めませんでした：" + file;
  EXPECT_EQ(messages.shown, (Strings{kNotice, "velkorn|x|設定ファイルを開けませんでした：" + file}));
  std::filesystem::remove(dir.path() / "velkorn.txt");
  dir.write("velkorn.txt", "00/00 R r\r\n" + std::string(LineReader::kMaxLine + 1, 'q') + "\r\n00/00 W w\r\n");
  EXPECT_EQ(run(kOrdinaryDay), RunOutcome::ScheduleUnreadable);
  EXPECT_EQ(store.writes, (Strings{"readButtonBitmap=r", "commit"}));
  const auto throws = [](const std::filesystem::path&) -> RunOutcome { throw std::bad_alloc(); };
  EXPECT_EQ(startScheduler(messages, dir.path(), throws), RunOutcome::ScheduleUnreadable);
  EXPECT_EQ(startScheduler(messages, std::nullopt, throws), RunOutcome::ScheduleUnreadable);
  EXPECT_EQ(messages.shown, (Strings{readFailed, readFailed, "velkorn|x|設定ファイルを開けませんでした：velkorn.txt"}));
}

// What the checker and the editor's calendar say a day gets is what a run on
// that day leaves, for schedules made at random of the pieces lines are made
// of: the day's own fields and others of every width, separators of one and
// of two bytes, kinds in either case and none, paths with and without blanks.
TEST_F(DailyRun, EndsWithWhatTheDayIndexSaysForRandomSchedules) {
  std::mt19937 random(1224);
  const auto pick = [&](std::initializer_list<std::string> pieces) { return *(pieces.begin() + random() % pieces.size()); };
  for (int round = 0; round < 400; ++round) {
    const Date day = std::data({Date{2028, 2, 29}, Date{2026, 1, 1}, Date{2026, 1, 31}, Date{2026, 12, 24}})[random() % 4];
    const DayKey key = dayKeyOf(day);
    const std::string month(key.month.begin(), key.month.end()), date(key.day.begin(), key.day.end());
    std::string file;
    DayIndex index;
    for (std::size_t number = 1, lines = random() % 7; number <= lines; ++number) {
      const std::string line = pick({month, month, "00", "12", "1", "13", "#1"}) + pick({"/", "-", "\x95\x5C"}) +
                               pick({date, date, "00", "30", "3", ""}) + pick({" ", " ", ""}) +
                               pick({"P", "r", "W", "X", ""}) + pick({" a", " b ", "  c", "", " \x95\x5C"});
      file += line + "\r\n";
      index.add(number, kCodec.decode(line));
    }
    dir.write("velkorn.txt", file);
    run(day);
    const DayValues values = index.valuesOn(day.month, day.day);
    for (const KindInfo& info : imageKinds()) {
      const std::string set = std::string(info.valueName) + "=";
      const auto last = std::ranges::find_if(store.writes.rbegin(), store.writes.rend(), [&](auto& w) { return w.starts_with(set); });
      EXPECT_EQ(last->substr(set.size()), toUtf8(values[static_cast<std::size_t>(info.kind)].path))
          << file << "on " << month << "/" << date;
    }
  }
}

}  // namespace
}  // namespace velkorn::testing
