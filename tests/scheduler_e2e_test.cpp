// The built scheduler, run as a user would run it: a copy in a directory of
// its own, started from another working directory, the date set with
// libfaketime, a private settings file read back afterwards; messages on
// standard error without a display, or as real boxes on a private X server.

#include <gtest/gtest.h>

#include <QProcess>
#include <QSettings>

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
  // display at all).
  void start(QProcess& process, const char* date, const QString& display = {}) {
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
    process.start(qs(dir.path() / "elsewhere/link"), {});
  }
  // Runs the scheduler to its end: its exit status and standard error.
  std::pair<int, QString> runScheduler(const char* date, const QString& display = {}) {
    QProcess process;
    start(process, date, display);
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
