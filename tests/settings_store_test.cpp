#include "platform/qt/settings_store.h"

#include <gtest/gtest.h>

#include <QSettings>

#include "platform/qt/qt_text.h"
#include "tests/temp_dir.h"

namespace velkorn {
namespace {

using testing::TempDir;

// A private $XDG_CONFIG_HOME, so the real user's file is never touched. One
// for the whole program: QSettings reads the variable once per process.
const TempDir& configHome() {
  static const TempDir home;
  return home;
}

class QtStore : public ::testing::Test {
 protected:
  void SetUp() override {
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home.path().string()));
    std::filesystem::remove_all(home.path() / "orangesoft");
    std::filesystem::remove_all(home.path() / "old-link");
  }
  std::filesystem::path file() const { return home.path() / "orangesoft" / "winbiff.conf"; }
  QString read(const QString& key) const {
    QSettings settings(QString::fromStdString(file().string()), QSettings::IniFormat);
    return settings.value(key).toString();
  }

  const TempDir& home = configHome();
  qt::QtSettingsStore store;
};

TEST_F(QtStore, CreatesTheFileAndStoresPathsAndEmptyStrings) {
  ASSERT_TRUE(store.write("velkornBitmap", U"C:\\画像\\郵便屋さん.bmp  "));
  ASSERT_TRUE(store.write("readButtonBitmap", U""));
  EXPECT_EQ(read("settings/velkornBitmap"), QStringLiteral("C:\\画像\\郵便屋さん.bmp  "));
  EXPECT_TRUE(QSettings(QString::fromStdString(file().string()), QSettings::IniFormat)
                  .contains("settings/readButtonBitmap"));
  EXPECT_EQ(read("settings/readButtonBitmap"), QString());
}

TEST_F(QtStore, KeepsEveryOtherSettingOfTheMailChecker) {
  {
    QSettings other(QString::fromStdString(file().string()), QSettings::IniFormat);
    other.setValue("settings/interval", 5);
    other.setValue("settings/velkornBitmap", "old.bmp");
    other.setValue("accounts/user", "taro");
  }
  ASSERT_TRUE(store.write("velkornBitmap", U"new.bmp"));
  EXPECT_EQ(read("settings/interval"), "5");
  EXPECT_EQ(read("accounts/user"), "taro");
  EXPECT_EQ(read("settings/velkornBitmap"), "new.bmp");
}

// An atomic write puts a new file in place; it never rewrites the old one,
// so a reader (or a crash) never sees half a file.
TEST_F(QtStore, ReplacesTheFileInsteadOfRewritingIt) {
  ASSERT_TRUE(store.write("velkornBitmap", U"a.bmp"));
  const std::filesystem::path oldFile = home.path() / "old-link";
  std::filesystem::create_hard_link(file(), oldFile);
  ASSERT_TRUE(store.write("velkornBitmap", U"b.bmp"));
  EXPECT_EQ(std::filesystem::hard_link_count(file()), 1u);
  EXPECT_NE(testing::readBytes(oldFile).find("a.bmp"), std::string::npos);
  EXPECT_NE(testing::readBytes(file()).find("b.bmp"), std::string::npos);
}

TEST_F(QtStore, FailsWhenTheFileCannotBeWritten) {
  std::ofstream(home.path() / "orangesoft") << "a file where a directory should be";
  EXPECT_FALSE(store.write("velkornBitmap", U"a.bmp"));
}

}  // namespace
}  // namespace velkorn
