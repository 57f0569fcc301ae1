// The built scheduler, run as a user would run it: a copy in a directory of
// its own, started from another working directory, the date set with
// libfaketime, a private settings file read back afterwards; messages on
// standard error without a display, or as real boxes on a private X server.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QSettings>
#include <QThread>
#include <random>

#include "platform/qt/qt_text.h"
#include "schedule/schedule_file.h"
#include "tests/e2e_cases.h"
#include "tests/temp_dir.h"

namespace velkorn::testing {
namespace {

QString qs(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

// The program and its module in a folder whose name is not UTF-8, started
// through a link from elsewhere: it finds the folder itself.
class ScheduledRun : public ::testing::TestWithParam<RunCase> {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(programs);
    for (const char* file : {"velkorn", "libvelkorn-qt-gui.so"}) {
      std::filesystem::copy_file(std::filesystem::path(VELKORN_BIN_DIR) / file, programs / file);
    }
    // The working directory's schedule is never the one read.
    std::filesystem::create_symlink(programs / "velkorn", dir.write("elsewhere/velkorn.txt", "00/00 R wrong\r\n")
                                                              .parent_path() / "link");
  }

  // Starts the scheduler with the clock at `date`, on `display` (none: no
  // display at all), through a shell command `shell` (that ends in exec "$0").
  void start(QProcess& process, const char* date, const QString& display = {}, const QString& shell = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
    if (!display.isEmpty()) env.insert("DISPLAY", display);
    env.insert("XDG_CONFIG_HOME", qs(dir.path() / "config"));
    // libfaketime without its wrapper. A sanitizer's runtime, preloaded ahead
    // of it, hangs; behind it, the runtime only has to be told not to mind.
    env.insert("LD_PRELOAD", "/usr/$LIB/faketime/libfaketime.so.1");
    env.insert("FAKETIME", QStringLiteral("@") + date);
    env.insert("ASAN_OPTIONS", "verify_asan_link_order=0");
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(qs(dir.path() / "elsewhere"));
    const QString link = qs(dir.path() / "elsewhere/link");
    shell.isEmpty() ? process.start(link, {}) : process.start("sh", {"-c", shell, link});
  }
  // Runs the scheduler to its end: its exit status and standard error.
  std::pair<int, QString> runScheduler(const char* date, const QString& display = {}, const QString& shell = {}) {
    QProcess process;
    start(process, date, display, shell);
    const bool finished = process.waitForFinished(20000);
    process.kill();
    EXPECT_TRUE(finished) << "the scheduler did not end within 20 s";
    return {finished ? process.exitCode() : -1, QString::fromUtf8(process.readAllStandardError())};
  }
  std::optional<Text> stored(std::string_view name) const {
    const QVariant value = QSettings(qs(dir.path() / "config/orangesoft/winbiff.conf"), QSettings::IniFormat)
                               .value("settings/" + QString::fromLatin1(name.data(), qsizetype(name.size())));
    return value.isValid() ? std::optional(qt::fromQString(value.toString())) : std::nullopt;
  }

  std::string settings() const { return readBytes(dir.path() / "config/orangesoft/winbiff.conf"); }

  TempDir dir;
  std::filesystem::path programs = dir.path() / "\x95\x5C";
};

TEST_P(ScheduledRun, Runs) {
  const RunCase& c = GetParam();
  if (c.setup != Setup::NoSchedule) dir.write("\x95\x5C/velkorn.txt", c.schedule);
  if (c.setup == Setup::UnwritableStore) dir.write("config/orangesoft", "a file where a directory should be");
  const auto [exitCode, stdErr] = runScheduler(c.date);
  // Without a display each message is a line "title: text" on standard error.
  Observed seen{exitCode, {}, {}};
  for (const QString& line : stdErr.split('\n', Qt::SkipEmptyParts)) {
    EXPECT_TRUE(line.startsWith("velkorn: ")) << line.toStdString();
    seen.messages.push_back(qt::fromQString(line.mid(9)));
  }
  for (const KindInfo& info : imageKinds()) seen.stored[static_cast<std::size_t>(info.kind)] = stored(info.valueName);
  expectOutcome(c, seen, displayPath(programs / "velkorn.txt"));
}

INSTANTIATE_TEST_SUITE_P(Cases, ScheduledRun, ::testing::ValuesIn(kRunCases), caseName);

// A FIFO would block the open and a device never end: only a regular file is
// read. A disk that fills (a file size limit here) fails the run's one
// commit: every image a due entry went to is reported, and the settings stay
// as they were, byte for byte.
TEST_F(ScheduledRun, BadFilesAndFaultsChangeNothing) {
  ASSERT_EQ(mkfifo((programs / "velkorn.txt").c_str(), 0600), 0);
  EXPECT_EQ(runScheduler("2026-06-01 12:00:00").first, 1);
  std::filesystem::remove(programs / "velkorn.txt");
  std::filesystem::create_symlink("/dev/zero", programs / "velkorn.txt");
  EXPECT_EQ(runScheduler("2026-06-01 12:00:00").first, 1);
  std::filesystem::remove(programs / "velkorn.txt");

  dir.write("\x95\x5C/velkorn.txt", "00/00 W w\r\n");
  const std::string old = "[settings]\nvelkornBitmap=old\n[other]\nkept=" + std::string(4000, 'k') + "\n";
  dir.write("config/orangesoft/winbiff.conf", old);
  const auto [exitCode, stdErr] = runScheduler("2026-06-01 12:00:00", {}, "trap '' XFSZ; ulimit -f 2; exec \"$0\"");
  EXPECT_EQ(exitCode, 2);
  EXPECT_EQ(stdErr, "velkorn: 「書くの？」の画像変更に失敗しました。\n");
  EXPECT_EQ(settings(), old);
}

// Killed at any moment, a run leaves the settings as they were or as the
// whole run makes them, never half a day; and runs at the same time keep
// every other setting.
TEST_F(ScheduledRun, AKilledRunLeavesAllOrNothingAndRunsAtOnceKeepTheRest) {
  std::string schedule;
  for (int line = 0; line < 100000; ++line) schedule += "00/00 P p" + std::to_string(line) + "\r\n";
  dir.write("\x95\x5C/velkorn.txt", schedule + "00/00 R r\r\n");
  const std::string old = "[settings]\nvelkornBitmap=old\nreadButtonBitmap=old\n[other]\nkey=kept\n";
  dir.write("config/orangesoft/winbiff.conf", old);
  QElapsedTimer clock;
  clock.start();
  ASSERT_EQ(runScheduler("2026-06-01 12:00:00").first, 0);
  const std::string whole = settings();
  const auto runMicroseconds = static_cast<unsigned long>(clock.nsecsElapsed() / 1000);
  EXPECT_NE(whole.find("velkornBitmap=p99999\n"), std::string::npos);
  std::mt19937 random(1);
  for (int run = 0; run < 20; ++run) {
    dir.write("config/orangesoft/winbiff.conf", old);
    QProcess process;
    start(process, "2026-06-01 12:00:00");
    QThread::usleep(random() % runMicroseconds);
    process.kill();
    process.waitForFinished(5000);
    EXPECT_TRUE(settings() == old || settings() == whole) << settings();
  }
  dir.write("config/orangesoft/winbiff.conf", old);
  std::vector<std::unique_ptr<QProcess>> runs(20);
  for (auto& run : runs) start(*(run = std::make_unique<QProcess>()), "2026-06-01 12:00:00");
  for (auto& run : runs) EXPECT_TRUE(run->waitForFinished(30000) && run->exitCode() == 0);
  EXPECT_EQ(settings(), whole);
}

// A display that cannot be reached is as good as none; one that can shows a
// real box, and answering it ends the run normally (a Qt application torn
// down by an exit handler would crash here).
TEST_F(ScheduledRun, MessagesAreBoxesWhereADisplayIsReachable) {
  dir.write("\x95\x5C/velkorn.txt", "12/25 P a.bmp\r\n");
  const auto [exitCode, stdErr] = runScheduler("2026-12-25 07:00:00", ":97");
  EXPECT_EQ(exitCode, 0);
  EXPECT_TRUE(stdErr.endsWith("\nvelkorn: 今日はWinbiffのビットマップを変更できません。\n")) << stdErr.toStdString();
  // A private X server, which writes its display's number once it takes
  // clients, and xdotool to press Return in the box.
  QProcess x, xdotool, scheduler;
  x.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp"});
  ASSERT_TRUE(x.waitForReadyRead(10000)) << "Xvfb did not start";
  const QString display = ':' + QString::fromLatin1(x.readAllStandardOutput()).trimmed();
  start(scheduler, "2026-12-25 07:00:00", display);
  xdotool.setProcessEnvironment(scheduler.processEnvironment());
  xdotool.start("xdotool", {"search", "--sync", "--onlyvisible", "--name", "^velkorn$", "key", "--window", "%1", "Return"});
  EXPECT_TRUE(xdotool.waitForFinished(10000)) << "no window titled velkorn appeared within 10 s";
  EXPECT_TRUE(scheduler.waitForFinished(10000)) << "the scheduler did not end after its box was answered";
  EXPECT_EQ(scheduler.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(scheduler.exitCode(), 0);
  for (QProcess* p : {&xdotool, &scheduler, &x}) p->kill(), p->waitForFinished(5000);
}

}  // namespace
}  // namespace velkorn::testing
