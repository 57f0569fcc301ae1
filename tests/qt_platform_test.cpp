// The Linux pieces under the core: the CP932 code page, the settings store
// and the schedule writer, on real files in temporary directories.

#include <gtest/gtest.h>

#include <QProcess>
#include <QSettings>
#include <QThread>
#include <cstring>
#include <random>

#include "platform/qt/iconv_code_page.h"
#include "platform/qt/schedule_writer.h"
#include "platform/qt/settings_store.h"
#include "tests/cp932_codec_cases.h"
#include "tests/temp_dir.h"

namespace velkorn::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(Iconv, Cp932, qt::IconvCodePage);

namespace {

// A private $XDG_CONFIG_HOME, so that the user's own file is never touched;
// one for the whole program, as QSettings reads the variable once.
const TempDir& emptyConfigHome() {
  static const TempDir home;
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home.path().string()));
  std::filesystem::remove_all(home.path() / "orangesoft");
  std::filesystem::remove(home.path() / "old");
  return home;
}

// The run's values are committed together: the file is created, or
// replaced (never rewritten in place, so that a reader or a crash never sees
// half a file), and every other setting in it keeps its meaning, in
// QSettings' own dialect.
TEST(QtSettingsStore, CommitsTheValuesTogetherAndKeepsEveryOtherSetting) {
  const TempDir& home = emptyConfigHome();
  const auto file = home.path() / "orangesoft/winbiff.conf";
  qt::QtSettingsStore store;
  ASSERT_TRUE(store.write("velkornBitmap", U"C:\\画像 \\a.bmp  ") && store.write("readButtonBitmap", U""));
  EXPECT_FALSE(std::filesystem::exists(file));
  ASSERT_TRUE(store.commit());
  EXPECT_EQ(readBytes(file), "[settings]\nreadButtonBitmap=\nvelkornBitmap=\"C:\\\\\xe7\x94\xbb\xe5\x83\x8f \\\\a.bmp  \"\n");

  home.write("orangesoft/winbiff.conf", "; the mail checker's own\n[accounts]\nuser = 太郎\n[settings]\n日本語キー=値\n");
  std::filesystem::create_hard_link(file, home.path() / "old");
  ASSERT_TRUE(qt::QtSettingsStore().write("compositeButtonBitmap", U"uncommitted.bmp"));
  qt::QtSettingsStore next;
  ASSERT_TRUE(next.write("readButtonBitmap", U"r.bmp") && next.commit());
  EXPECT_EQ(readBytes(file), "[accounts]\nuser=太郎\n\n[settings]\n"
                             "readButtonBitmap=r.bmp\n%U65E5%U672C%U8A9E%U30AD%U30FC=値\n");
  EXPECT_EQ(readBytes(home.path() / "old").substr(0, 1), ";");
  // The same values again: nothing to change, and the file is not rewritten;
  // but another path under the same name is a change.
  std::filesystem::remove(home.path() / "old");
  std::filesystem::create_hard_link(file, home.path() / "old");
  qt::QtSettingsStore same;
  ASSERT_TRUE(same.write("readButtonBitmap", U"r.bmp") && same.commit());
  EXPECT_TRUE(std::filesystem::equivalent(file, home.path() / "old"));
  home.write("orangesoft/winbiff.conf", "[settings]\nreadButtonBitmap=other.bmp\n");
  qt::QtSettingsStore changed;
  ASSERT_TRUE(changed.write("readButtonBitmap", U"r.bmp") && changed.commit());
  EXPECT_EQ(readBytes(file), "[settings]\nreadButtonBitmap=r.bmp\n");
}

// What QSettings would misread is never written (the fuzz target's seeds
// hold the ones found so far); nor is a byte of the schedule that is not
// text, nor a directory.
TEST(QtSettingsStore, NeverWritesAFileItCannotReadWhole) {
  const TempDir& home = emptyConfigHome();
  home.write("orangesoft/winbiff.conf", "[broken\na=b\n");
  EXPECT_FALSE(qt::QtSettingsStore().write("velkornBitmap", U"a.bmp"));
  std::filesystem::remove(home.path() / "orangesoft/winbiff.conf");
  EXPECT_FALSE(qt::QtSettingsStore().write("velkornBitmap", Text{U'a', escapeOf(0x81)}));
  std::filesystem::create_directory(home.path() / "orangesoft/winbiff.conf");
  EXPECT_FALSE(qt::QtSettingsStore().write("velkornBitmap", U"a.bmp"));
}

// A failure says why in the system's words.
TEST(ReplacingWriter, ReplacesTheFileOrTheTargetOfItsLinkAndLeavesNothingOnFailure) {
  TempDir dir;
  qt::ReplacingWriter writer;
  std::filesystem::create_symlink(dir.write("real.txt", "a much longer old content\r\n"), dir.path() / "velkorn.txt");
  ASSERT_TRUE(writer.replaceContents(dir.path() / "velkorn.txt", "new\r\n").saved());
  EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "velkorn.txt"));
  EXPECT_EQ(readBytes(dir.path() / "real.txt"), "new\r\n");
  std::filesystem::create_directory(dir.path() / "dir.txt");
  for (const auto& [file, error] : {std::pair("dir.txt", EISDIR), {"missing/velkorn.txt", ENOENT}})
    EXPECT_EQ(toUtf8(writer.replaceContents(dir.path() / file, "new\r\n").systemText), std::strerror(error));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
}

// Killed at any moment, a save of a large list leaves the old bytes or the
// new, and at most one temporary file, named for the schedule (a kill
// between its naming and the rename): the new bytes have no name until they
// are whole. (The saves run in a copy of this program, started again.)
TEST(ReplacingWriter, AKilledSaveLeavesTheOldBytesOrTheNew) {
  const std::string big(8 << 20, 'a');
  if (qEnvironmentVariableIsSet("VELKORN_SAVE_FOREVER")) {
    const std::filesystem::path file = qgetenv("VELKORN_SAVE_FOREVER").toStdString();
    for (char c = 'b';; c = c == 'b' ? 'a' : 'b') qt::replaceFile(file, std::string(big.size(), c));
  }
  TempDir dir;
  const auto file = dir.write("velkorn.txt", big);
  std::mt19937 random(2);
  for (int kill = 0; kill < 10; ++kill) {
    QProcess saver;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VELKORN_SAVE_FOREVER", QString::fromStdString(file.string()));
    saver.setProcessEnvironment(env);
    saver.start("/proc/self/exe", {"--gtest_filter=ReplacingWriter.AKilled*"});
    ASSERT_TRUE(saver.waitForStarted(5000));
    QThread::usleep(random() % 500000);
    saver.kill();
    saver.waitForFinished(5000);
    const std::string bytes = readBytes(file);
    EXPECT_TRUE(bytes == big || bytes == std::string(big.size(), 'b')) << bytes.size();
    for (const auto& left : std::filesystem::directory_iterator(dir.path())) {
      EXPECT_TRUE(left.path() == file || left.path().string().starts_with(file.string() + ".saving-")) << left.path();
      if (left.path() != file) std::filesystem::remove(left.path());
    }
  }
}

}  // namespace
}  // namespace velkorn::testing
