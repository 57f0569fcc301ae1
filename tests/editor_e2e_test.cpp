// The built editor and scheduler, side by side in a directory of their own,
// on a private X server: what a user sees on starting them.

#include <gtest/gtest.h>

#include <QProcess>
#include <QSettings>
#include <QThread>

#include "tests/temp_dir.h"
#include "tests/xvfb.h"

namespace velkorn {
namespace {

class InstalledEditor : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!x.available()) GTEST_SKIP() << "needs Xvfb and xdotool";
    ASSERT_TRUE(x.running());
    for (const char* program : {"velkorn-editor", "velkorn"}) {
      std::filesystem::copy_file(std::filesystem::path(VELKORN_BIN_DIR) / program, dir.path() / program);
    }
    QProcessEnvironment env = x.environment();
    env.insert("XDG_CONFIG_HOME", QString::fromStdString((dir.path() / "config").string()));
    editor.setProcessEnvironment(env);
    editor.setWorkingDirectory("/");
  }
  void TearDown() override {
    if (editor.state() != QProcess::NotRunning) {
      editor.kill();
      editor.waitForFinished(5000);
    }
  }
  void start() { editor.start(QString::fromStdString((dir.path() / "velkorn-editor").string()), {}); }

  testing::Xvfb x;
  testing::TempDir dir;
  QProcess editor;
};

TEST_F(InstalledEditor, WithoutAScheduleShowsTheStartErrorAndEnds) {
  start();
  EXPECT_TRUE(x.pressReturnIn(QStringLiteral("起動エラー")));
  ASSERT_TRUE(editor.waitForFinished(15000));
  EXPECT_EQ(editor.exitStatus(), QProcess::NormalExit);
  EXPECT_NE(editor.exitCode(), 0);
}

// Run on a clean list starts the scheduler beside the editor, which applies
// the schedule to the settings.
TEST_F(InstalledEditor, RunStartsTheSchedulerBesideIt) {
  std::ofstream(dir.path() / "velkorn.txt", std::ios::binary) << "00/00 R beside.bmp\r\n";
  start();
  // The window is centred on the 1024x768 screen; Command5 (実行) is at
  // 3960,7080 twips, 1815x375.
  const int left = (1024 - 680) / 2, top = (768 - 510) / 2;
  const QString x5 = QString::number(left + (3960 + 1815 / 2) / 15);
  const QString y5 = QString::number(top + (7080 + 375 / 2) / 15);
  ASSERT_TRUE(x.xdotool({"search", "--sync", "--name", "^設定の編集$"}));
  QThread::msleep(300);  // let the window map and paint
  ASSERT_TRUE(x.xdotool({"mousemove", x5, y5, "click", "1"}));

  const auto settings = dir.path() / "config" / "orangesoft" / "winbiff.conf";
  for (int i = 0; i < 100 && !std::filesystem::exists(settings); ++i) QThread::msleep(100);
  QThread::msleep(200);
  QSettings stored(QString::fromStdString(settings.string()), QSettings::IniFormat);
  EXPECT_EQ(stored.value("settings/readButtonBitmap").toString(), "beside.bmp");
  EXPECT_FALSE(editor.waitForFinished(300));  // the editor stays open
}

}  // namespace
}  // namespace velkorn
