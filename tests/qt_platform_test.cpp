// The Linux pieces under the core: the CP932 code page, the settings store
// and the schedule writer, on real files in temporary directories.

#include <gtest/gtest.h>

#include <QSettings>

#include "platform/qt/iconv_code_page.h"
#include "platform/qt/schedule_writer.h"
#include "platform/qt/settings_store.h"
#include "tests/cp932_codec_cases.h"
#include "tests/temp_dir.h"

namespace velkorn::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(Iconv, Cp932, qt::IconvCodePage);

namespace {

// In a private $XDG_CONFIG_HOME, so that the user's own file is never
// touched: the settings file is created, or replaced (never rewritten in
// place, so that a reader or a crash never sees half a file), and every
// other setting in it kept.
TEST(QtSettingsStore, StoresTheValuesAndKeepsEveryOtherSetting) {
  TempDir home;
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home.path().string()));
  const auto file = home.path() / "orangesoft/winbiff.conf";
  const auto read = [&](const char* key) {
    return QSettings(file.c_str(), QSettings::IniFormat).value(key, "-").toString();
  };
  qt::QtSettingsStore store;
  ASSERT_TRUE(store.write("velkornBitmap", U"C:\\画像\\郵便屋さん.bmp  "));
  EXPECT_EQ(read("settings/velkornBitmap"), "C:\\画像\\郵便屋さん.bmp  ");
  home.write("orangesoft/winbiff.conf", "[settings]\ninterval=5\nvelkornBitmap=old.bmp\n[accounts]\nuser=taro\n");
  std::filesystem::create_hard_link(file, home.path() / "old");
  ASSERT_TRUE(store.write("readButtonBitmap", U""));
  EXPECT_EQ(read("settings/readButtonBitmap"), "");
  EXPECT_EQ(read("settings/velkornBitmap"), "old.bmp");
  EXPECT_EQ(read("settings/interval"), "5");
  EXPECT_EQ(read("accounts/user"), "taro");
  EXPECT_EQ(readBytes(home.path() / "old").find("readButtonBitmap"), std::string::npos);

  std::filesystem::remove_all(home.path() / "orangesoft");
  home.write("orangesoft", "a file where a directory should be");
  EXPECT_FALSE(store.write("velkornBitmap", U"a.bmp"));
}

TEST(SaveFileWriter, ReplacesTheFileOrTheTargetOfItsLinkAndLeavesNothingOnFailure) {
  TempDir dir;
  qt::SaveFileWriter writer;
  std::filesystem::create_symlink(dir.write("real.txt", "a much longer old content\r\n"), dir.path() / "velkorn.txt");
  ASSERT_TRUE(writer.replaceContents(dir.path() / "velkorn.txt", "new\r\n"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "velkorn.txt"));
  EXPECT_EQ(readBytes(dir.path() / "real.txt"), "new\r\n");
  std::filesystem::create_directory(dir.path() / "dir.txt");
  EXPECT_FALSE(writer.replaceContents(dir.path() / "dir.txt", "new\r\n"));
  EXPECT_FALSE(writer.replaceContents(dir.path() / "missing" / "velkorn.txt", "new\r\n"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
}

}  // namespace
}  // namespace velkorn::testing
