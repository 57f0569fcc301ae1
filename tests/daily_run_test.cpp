#include "scheduler/daily_run.h"

#include <gtest/gtest.h>

#include "schedule/schedule_file.h"
#include "tests/fakes.h"
#include "tests/temp_dir.h"

namespace velkorn {
namespace {

using testing::CountingEventPump;
using testing::FakeCodePage;
using testing::FakeStore;
using testing::RecordingMessageBox;
using testing::TempDir;

constexpr Date kChristmasEve{2026, 12, 24};
constexpr Date kOrdinaryDay{2026, 3, 3};

// One scheduler run over a schedule file in a fresh directory, with fakes.
class DailyRun : public ::testing::Test {
 protected:
  RunOutcome run(const std::string& scheduleBytes, Date today) {
    dir.write("velkorn.txt", scheduleBytes);
    return runWithoutWriting(today);
  }
  RunOutcome runWithoutWriting(Date today) {
    SchedulerPlatform platform{store, messages, events, codec, today, dir.path()};
    return runDaily(platform);
  }
  Text value(const std::string& name) const {
    const auto it = store.values.find(name);
    return it == store.values.end() ? Text(U"(never written)") : it->second;
  }
  std::vector<Text> messageTexts() const {
    std::vector<Text> texts;
    for (const Message& m : messages.shown) texts.push_back(m.text);
    return texts;
  }

  TempDir dir;
  FakeCodePage codePage;
  Codec codec{codePage};
  FakeStore store;
  RecordingMessageBox messages;
  CountingEventPump events;
};

TEST_F(DailyRun, EveryDayAndDatedEntriesApplyInFileOrder) {
  const std::string everyDayFirst = "00/00 P a.bmp\r\n12/24 P b.bmp\r\n";
  EXPECT_EQ(run(everyDayFirst, kChristmasEve), RunOutcome::Applied);
  EXPECT_EQ(value("velkornBitmap"), U"b.bmp");

  store = {};
  run(everyDayFirst, kOrdinaryDay);
  EXPECT_EQ(value("velkornBitmap"), U"a.bmp");

  store = {};
  run("12/24 P b.bmp\r\n00/00 P a.bmp\r\n", kChristmasEve);
  EXPECT_EQ(value("velkornBitmap"), U"a.bmp");
}

TEST_F(DailyRun, ImagesWithNothingAppliedAreResetInOrderAfterThePass) {
  run("# only a comment\r\n12/25 R r.bmp\r\n00/00 W w.bmp\r\n", kOrdinaryDay);
  ASSERT_EQ(store.writes.size(), 3u);
  EXPECT_EQ(store.writes[0].name, "compositeButtonBitmap");
  EXPECT_EQ(store.writes[0].data, U"w.bmp");
  EXPECT_EQ(store.writes[1].name, "velkornBitmap");
  EXPECT_EQ(store.writes[1].data, U"");
  EXPECT_EQ(store.writes[2].name, "readButtonBitmap");
  EXPECT_EQ(store.writes[2].data, U"");
}

TEST_F(DailyRun, EmptyOrCommentOnlyScheduleResetsAllThree) {
  for (const std::string schedule : {"", "#12/24 P x.bmp\r\n\r\n1/5 P x.bmp\r\n"}) {
    store = {};
    EXPECT_EQ(run(schedule, kChristmasEve), RunOutcome::Applied);
    ASSERT_EQ(store.writes.size(), 3u) << schedule;
    EXPECT_EQ(value("velkornBitmap"), U"");
    EXPECT_EQ(value("readButtonBitmap"), U"");
    EXPECT_EQ(value("compositeButtonBitmap"), U"");
  }
}

TEST_F(DailyRun, LinesAreReadByCharacterPosition) {
  run(
      "12-24 r sep.bmp\r\n"           // separator unchecked, kind upper-cased
      "12\x81\x5E" "24 W \x8A\x47\\\x95\x5C.bmp  \r\n"  // a double-byte separator is one character
      "12/24 P\r\n"                    // no path: the empty string is applied
      "12/24 X c.bmp\r\n"              // unknown kind: nothing
      " #12/24 R no.bmp\r\n",          // not a comment, but not due either
      kChristmasEve);
  EXPECT_EQ(value("readButtonBitmap"), U"sep.bmp");
  EXPECT_EQ(value("compositeButtonBitmap"), U"絵\\表.bmp  ");
  EXPECT_EQ(value("velkornBitmap"), U"");
  // P was applied (to the empty string), so only the resets of nothing remain.
  EXPECT_EQ(store.writes.size(), 3u);
  EXPECT_EQ(messages.shown.size(), 1u);  // the holiday notice only
}

TEST_F(DailyRun, UndecodableBytesReachTheStoreAsEscapes) {
  run("00/00 R \xFF\x81.bmp\r\n", kOrdinaryDay);
  const Text expected = Text{escapeOf(0xFF), escapeOf(0x81)} + U".bmp";
  EXPECT_EQ(value("readButtonBitmap"), expected);
  EXPECT_EQ(codec.encode(expected).bytes, "\xFF\x81.bmp");
}

TEST_F(DailyRun, HolidayNoticeComesFirstOnTheTwoDaysOnly) {
  for (const Date day : {Date{2026, 12, 24}, Date{2026, 12, 25}}) {
    messages = {};
    store = {};
    run("00/00 P a.bmp\r\n", day);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, U"velkorn");
    EXPECT_EQ(messages.shown[0].text, U"今日はWinbiffのビットマップを変更できません。");
    EXPECT_EQ(messages.shown[0].icon, Message::Icon::Information);
    // The notice does not stop the run.
    EXPECT_EQ(value("velkornBitmap"), U"a.bmp");
  }
  for (const Date day : {Date{2026, 12, 23}, Date{2026, 12, 26}, Date{2026, 11, 24}}) {
    messages = {};
    run("", day);
    EXPECT_TRUE(messages.shown.empty()) << day.month << "/" << day.day;
  }
}

TEST_F(DailyRun, HolidayNoticeIsShownBeforeAnyWrite) {
  struct OrderCheckingBox final : MessageBox {
    const FakeStore* store = nullptr;
    std::size_t writesBefore = 99;
    Answer show(const Message&) override {
      writesBefore = store->writes.size();
      return Answer::Ok;
    }
  } box;
  box.store = &store;
  dir.write("velkorn.txt", "12/24 P a.bmp\r\n");
  SchedulerPlatform platform{store, box, events, codec, kChristmasEve, dir.path()};
  runDaily(platform);
  EXPECT_EQ(box.writesBefore, 0u);
  EXPECT_EQ(value("velkornBitmap"), U"a.bmp");
}

TEST_F(DailyRun, FailedWriteIsReportedAndLaterSuccessKeepsTheImage) {
  store.failing = {0};
  const auto outcome = run("00/00 R first.bmp\r\n00/00 R second.bmp\r\n", kOrdinaryDay);
  EXPECT_EQ(outcome, RunOutcome::SomeWriteFailed);
  EXPECT_EQ(messageTexts(), std::vector<Text>{Text(U"「読む？」の画像変更に失敗しました。")});
  EXPECT_EQ(messages.shown[0].icon, Message::Icon::Critical);
  EXPECT_EQ(value("readButtonBitmap"), U"second.bmp");
  for (const auto& w : store.writes) {
    EXPECT_FALSE(w.name == "readButtonBitmap" && w.data.empty()) << "R must not be reset";
  }
}

TEST_F(DailyRun, KindWhoseEveryWriteFailedIsResetAtTheEnd) {
  store.failing = {0};
  run("00/00 W w.bmp\r\n", kOrdinaryDay);
  EXPECT_EQ(messageTexts(), std::vector<Text>{Text(U"「書くの？」の画像変更に失敗しました。")});
  ASSERT_EQ(store.writes.size(), 4u);
  EXPECT_EQ(store.writes.back().name, "compositeButtonBitmap");
  EXPECT_EQ(store.writes.back().data, U"");
}

TEST_F(DailyRun, EarlierSuccessIsNotUndoneByALaterFailure) {
  store.failing = {1};
  run("00/00 P one.bmp\r\n00/00 P two.bmp\r\n", kOrdinaryDay);
  EXPECT_EQ(messageTexts(), std::vector<Text>{Text(U"郵便屋さんの画像変更に失敗しました。")});
  EXPECT_EQ(value("velkornBitmap"), U"one.bmp");
  ASSERT_EQ(store.writes.size(), 4u);  // two P writes, then only R and W reset
}

TEST_F(DailyRun, FailedResetIsSilentButChangesTheExitStatus) {
  store.failing = {0, 1, 2};
  EXPECT_EQ(run("", kOrdinaryDay), RunOutcome::SomeWriteFailed);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(DailyRun, MissingScheduleIsReportedWithItsPathAndNothingIsWritten) {
  EXPECT_EQ(runWithoutWriting(kChristmasEve), RunOutcome::ScheduleUnreadable);
  EXPECT_TRUE(store.writes.empty());
  ASSERT_EQ(messages.shown.size(), 2u);  // the holiday notice, then the error
  const Message& error = messages.shown[1];
  EXPECT_EQ(error.title, U"velkorn");
  EXPECT_EQ(error.icon, Message::Icon::Critical);
  const Text path = displayPath(dir.path() / "velkorn.txt");
  EXPECT_NE(error.text.find(path), Text::npos);
}

TEST_F(DailyRun, UnreadableScheduleStopsBeforeTheResets) {
  std::filesystem::create_directory(dir.path() / "velkorn.txt");
  EXPECT_EQ(runWithoutWriting(kOrdinaryDay), RunOutcome::ScheduleUnreadable);
  EXPECT_TRUE(store.writes.empty());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].icon, Message::Icon::Critical);
}

TEST_F(DailyRun, EventsArePumpedOncePerLine) {
  run("a\r\nb\r\n#c\r\n00/00 P x\r\n", kOrdinaryDay);
  EXPECT_EQ(events.calls, 4);
}

}  // namespace
}  // namespace velkorn
