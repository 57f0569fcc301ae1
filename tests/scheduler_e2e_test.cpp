// The built scheduler, run as a user's cron job would run it: a copy in a
// directory of its own, a date set with faketime, no display, and a private
// settings file read back afterwards.

#include <gtest/gtest.h>

#include <QProcess>
#include <QSettings>

#include "tests/temp_dir.h"
#include "tests/xvfb.h"

namespace velkorn {
namespace {

using testing::TempDir;

// A schedule in CP932: 郵便屋さん, 表 (whose second byte is 0x5C) and 絵.
const std::string kSchedule =
    "# \x97\x58\x95\xD6\x89\xAE\x82\xB3\x82\xF1\r\n"
    "00/00 P C:\\\x95\x5C\\\x8A\x47.bmp\r\n"
    "12/24 R C:\\xmas read.bmp  \r\n"
    "00/00 Q unknown.bmp\r\n"
    "03/03 W C:\\hina.bmp\r\n";

struct Finished {
  int exitCode = -1;
  QString stdErr;
};

class ScheduledRun : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(programDir);
    std::filesystem::copy_file(std::filesystem::path(VELKORN_BIN_DIR) / "velkorn", program);
  }

  Finished run(const char* fakeDate, const std::filesystem::path& workingDir = {},
          const QString& display = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    if (!display.isEmpty()) env.insert("DISPLAY", display);
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(configHome.string()));
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(QString::fromStdString((workingDir.empty() ? root.path() : workingDir).string()));
    process.start("faketime", {QString::fromLatin1(fakeDate), QString::fromStdString(program.string())});
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
  }

  QString stored(const char* name) const {
    QSettings settings(QString::fromStdString(settingsFile.string()), QSettings::IniFormat);
    return settings.value(QStringLiteral("settings/") + QLatin1String(name), QStringLiteral("(absent)"))
        .toString();
  }

  void writeSchedule(const std::string& bytes) const {
    std::ofstream(programDir / "velkorn.txt", std::ios::binary) << bytes;
  }

  TempDir root;
  std::filesystem::path programDir = root.path() / "programs";
  std::filesystem::path program = programDir / "velkorn";
  std::filesystem::path configHome = root.path() / "config";
  std::filesystem::path settingsFile = configHome / "orangesoft" / "winbiff.conf";
};

TEST_F(ScheduledRun, AppliesTodaysEntriesAndResetsTheRest) {
  writeSchedule(kSchedule);
  const Finished result = run("2026-03-03 08:00:00");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.stdErr, "");
  EXPECT_EQ(stored("velkornBitmap"), QStringLiteral("C:\\表\\絵.bmp"));
  EXPECT_EQ(stored("readButtonBitmap"), "");
  EXPECT_EQ(stored("compositeButtonBitmap"), "C:\\hina.bmp");
}

TEST_F(ScheduledRun, ChristmasEveShowsTheNoticeOnStandardErrorAndGoesOn) {
  writeSchedule(kSchedule);
  const Finished result = run("2026-12-24 23:59:00");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.stdErr, QStringLiteral("velkorn: 今日はWinbiffのビットマップを変更できません。\n"));
  EXPECT_EQ(stored("readButtonBitmap"), "C:\\xmas read.bmp  ");
  EXPECT_EQ(stored("compositeButtonBitmap"), "");
}

TEST_F(ScheduledRun, UsesTheScheduleBesideTheProgramNotTheWorkingDirectory) {
  writeSchedule("00/00 R beside.bmp\r\n");
  const std::filesystem::path elsewhere = root.path() / "elsewhere";
  std::filesystem::create_directories(elsewhere);
  std::ofstream(elsewhere / "velkorn.txt") << "00/00 R wrong.bmp\r\n";
  EXPECT_EQ(run("2026-06-01 12:00:00", elsewhere).exitCode, 0);
  EXPECT_EQ(stored("readButtonBitmap"), "beside.bmp");
}

TEST_F(ScheduledRun, MissingScheduleIsReportedAndNothingIsWritten) {
  const Finished result = run("2026-06-01 12:00:00");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_TRUE(result.stdErr.startsWith("velkorn: ")) << result.stdErr.toStdString();
  EXPECT_TRUE(result.stdErr.contains(QString::fromStdString((programDir / "velkorn.txt").string())));
  EXPECT_FALSE(std::filesystem::exists(settingsFile));
}

TEST_F(ScheduledRun, UnwritableStoreReportsEachFailedEntryAndExitsWithTwo) {
  writeSchedule("00/00 P a.bmp\r\n00/00 W b.bmp\r\n");
  std::filesystem::create_directories(configHome);
  std::ofstream(configHome / "orangesoft") << "not a directory";
  const Finished result = run("2026-06-01 12:00:00");
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.stdErr, QStringLiteral("velkorn: 郵便屋さんの画像変更に失敗しました。\n"
                                          "velkorn: 「書くの？」の画像変更に失敗しました。\n"));
}

TEST_F(ScheduledRun, UnreachableDisplayFallsBackToStandardError) {
  writeSchedule("12/25 P a.bmp\r\n");
  const Finished result = run("2026-12-25 07:00:00", {}, QStringLiteral(":97"));
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_TRUE(result.stdErr.contains(QStringLiteral("velkorn: 今日はWinbiffのビットマップを変更できません。")))
      << result.stdErr.toStdString();
  EXPECT_EQ(stored("velkornBitmap"), "a.bmp");
}

// With a display, the message is a real box; answering it ends the run
// normally (a Qt application torn down by an exit handler would crash here).
TEST_F(ScheduledRun, RealMessageBoxIsShownAnsweredAndTornDownCleanly) {
  testing::Xvfb x;
  if (!x.available()) GTEST_SKIP() << "needs Xvfb and xdotool";
  ASSERT_TRUE(x.running());
  QProcessEnvironment env = x.environment();
  env.insert("XDG_CONFIG_HOME", QString::fromStdString(configHome.string()));
  QProcess scheduler;
  scheduler.setProcessEnvironment(env);
  scheduler.start(QString::fromStdString(program.string()), {});  // no schedule: one error box

  EXPECT_TRUE(x.pressReturnIn("velkorn")) << "no window titled velkorn appeared";
  const bool finished = scheduler.waitForFinished(15000);
  scheduler.kill();
  ASSERT_TRUE(finished);
  EXPECT_EQ(scheduler.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(scheduler.exitCode(), 1);
  EXPECT_FALSE(std::filesystem::exists(settingsFile));
}

}  // namespace
}  // namespace velkorn
