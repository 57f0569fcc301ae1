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

class QtStore : public ::testing::Test {
 protected:
  // A private $XDG_CONFIG_HOME, so the real user's file is never touched; one
  // for the whole program, as QSettings reads the variable once.
  static void SetUpTestSuite() { qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home().path().string())); }
  static const TempDir& home() {
    static const TempDir dir;
    return dir;
  }
  void SetUp() override { std::filesystem::remove_all(home().path() / "orangesoft"); }
  std::filesystem::path file() const { return home().path() / "orangesoft" / "winbiff.conf"; }
  QVariant read(const QString& key) const {
    return QSettings(QString::fromStdString(file().string()), QSettings::IniFormat).value(key);
  }

  qt::QtSettingsStore store;
};

TEST_F(QtStore, StoresPathsAndEmptyStringsAndKeepsEveryOtherSetting) {
  {
    QSettings other(QString::fromStdString(file().string()), QSettings::IniFormat);
    other.setValue("settings/interval", 5);
    other.setValue("settings/velkornBitmap", "old.bmp");
    other.setValue("accounts/user", "taro");
  }
  ASSERT_TRUE(store.write("velkornBitmap", U"C:\\画像\\郵便屋さん.bmp  "));
  ASSERT_TRUE(store.write("readButtonBitmap", U""));
  EXPECT_EQ(read("settings/velkornBitmap"), QStringLiteral("C:\\画像\\郵便屋さん.bmp  "));
  EXPECT_EQ(read("settings/readButtonBitmap"), QString(""));
  EXPECT_EQ(read("settings/interval"), "5");
  EXPECT_EQ(read("accounts/user"), "taro");
}

// An atomic write puts a new file in place and never rewrites the old one,
// so a reader (or a crash) never sees half a file.
TEST_F(QtStore, ReplacesTheFileInsteadOfRewritingIt) {
  ASSERT_TRUE(store.write("velkornBitmap", U"a.bmp"));
  const std::filesystem::path old = home().path() / "orangesoft" / "old";
  std::filesystem::create_hard_link(file(), old);
  ASSERT_TRUE(store.write("velkornBitmap", U"b.bmp"));
  EXPECT_NE(readBytes(old).find("a.bmp"), std::string::npos);
  EXPECT_NE(readBytes(file()).find("b.bmp"), std::string::npos);
}

TEST_F(QtStore, FailsWhenTheFileCannotBeWritten) {
  std::ofstream(home().path() / "orangesoft") << "a file where a directory should be";
  EXPECT_FALSE(store.write("velkornBitmap", U"a.bmp"));
}

TEST(SaveFileWriter, ReplacesTheFileOrTheTargetOfItsLinkAndLeavesNothingOnFailure) {
  TempDir dir;
  const auto target = dir.write("real.txt", "a much longer old content\r\n");
  const auto link = dir.path() / "velkorn.txt";
  std::filesystem::create_symlink(target, link);
  qt::SaveFileWriter writer;
  ASSERT_TRUE(writer.replaceContents(link, "new\r\n"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(readBytes(target), "new\r\n");

  std::filesystem::create_directory(dir.path() / "dir.txt");
  EXPECT_FALSE(writer.replaceContents(dir.path() / "dir.txt", "new\r\n"));
  EXPECT_FALSE(writer.replaceContents(dir.path() / "missing" / "velkorn.txt", "new\r\n"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
}

}  // namespace
}  // namespace velkorn::testing
