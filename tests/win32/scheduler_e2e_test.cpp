// The built velkorn.exe, run as a user would run it: a copy in a directory of
// its own (with a Japanese name), a CP932 schedule beside it, its message
// boxes answered, and the registry read back byte for byte.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/platform_info.h"
#include "platform/win32/win_text.h"
#include "schedule/date.h"
#include "schedule/texts.h"
#include "tests/temp_dir.h"
#include "tests/win32/program_run.h"
#include "tests/win32/test_registry.h"

namespace velkorn::testing {
namespace {

std::wstring wide(TextView text) { return win32::toWide(text); }

std::string fieldsOf(const Date& date) {
  const DayKey key = dayKeyOf(date);
  return std::string{key.month[0], key.month[1], '/', key.day[0], key.day[1]};
}

class ScheduledRun : public ::testing::Test {
 protected:
  void SetUp() override {
    removeMailCheckerSettings();
    std::filesystem::create_directories(programDir);
    const auto built = win32::executableDirectory();
    ASSERT_TRUE(built);
    std::filesystem::copy_file(*built / "velkorn.exe", programDir / "velkorn.exe");
  }
  void TearDown() override { removeMailCheckerSettings(); }

  void writeSchedule(const std::string& bytes) const {
    std::ofstream(programDir / "velkorn.txt", std::ios::binary) << bytes;
  }
  // Started from elsewhere, as from the editor or a shortcut.
  ProgramRun run() const {
    ProgramRun result = runAnsweringBoxes(programDir / "velkorn.exe", root.path());
    EXPECT_TRUE(result.finished) << "velkorn.exe did not end";
    return result;
  }
  static std::string stored(const char* name) {
    const auto value = storedValue(name);
    if (!value) return "(absent)";
    return value->type == REG_SZ ? value->bytes : "(not REG_SZ)";
  }

  TempDir root;
  // 表's second byte in CP932 is a backslash: a trap for byte-wise path code.
  std::filesystem::path programDir = root.path() / L"ビットマップ 表";
};

TEST_F(ScheduledRun, AppliesTodaysEntriesAndResetsTheRest) {
  const Date today = win32::localToday();
  writeSchedule("# \x97\x58\x95\xD6\x89\xAE\x82\xB3\x82\xF1\r\n"  // # 郵便屋さん
                "00/00 P C:\\\x89\xE6\x91\x9C\\\x95\x5C.bmp\r\n"  // C:\画像\表.bmp
                "00/00 Q unknown.bmp\r\n"
                "02/30 W never.bmp\r\n" +
                fieldsOf(today) + " r C:\\today read.bmp  \r\n");
  const ProgramRun result = run();
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_EQ(result.boxes.size(), isHoliday(today) ? 1u : 0u);
  EXPECT_EQ(stored("velkornBitmap"), std::string("C:\\\x89\xE6\x91\x9C\\\x95\x5C.bmp") + '\0');
  EXPECT_EQ(stored("readButtonBitmap"), std::string("C:\\today read.bmp  ") + '\0');
  EXPECT_EQ(stored("compositeButtonBitmap"), std::string(1, '\0'));
  // The key was created by the first write; Wine keeps the last write's class.
  EXPECT_EQ(settingsKeyClass(), runningUnderWine() ? "compositeButtonBitmap" : "velkornBitmap");
}

TEST_F(ScheduledRun, MissingScheduleIsReportedInABoxAndNothingIsWritten) {
  const ProgramRun result = run();
  EXPECT_EQ(result.exitCode, 1u);
  ASSERT_EQ(result.boxes.size(), 1u);
  EXPECT_EQ(result.boxes[0].title, L"velkorn");
  EXPECT_EQ(result.boxes[0].text, wide(texts::kScheduleOpenFailed) + (programDir / "velkorn.txt").wstring());
  EXPECT_FALSE(settingsKeyClass());
}

TEST_F(ScheduledRun, EachFailedWriteIsReportedAndTheRunEndsWithTwo) {
  ASSERT_TRUE(makeSettingsKeyUncreatable());
  writeSchedule("00/00 P a.bmp\r\n00/00 X b.bmp\r\n00/00 W c.bmp\r\n");
  const ProgramRun result = run();
  EXPECT_EQ(result.exitCode, 2u);
  ASSERT_EQ(result.boxes.size(), 2u);
  EXPECT_EQ(result.boxes[0].text, wide(texts::kFigureWriteFailed));
  EXPECT_EQ(result.boxes[1].text, wide(texts::kWriteButtonWriteFailed));
}

// Registered a second time to run with the clock set to 24 December.
TEST_F(ScheduledRun, ChristmasEveShowsTheNoticeFirstThenApplies) {
  const Date today = win32::localToday();
  if (!isHoliday(today)) GTEST_SKIP() << "needs the date faked to 24 or 25 December";
  writeSchedule("12/24 P eve.bmp\r\n12/25 P day.bmp\r\n");
  const ProgramRun result = run();
  EXPECT_EQ(result.exitCode, 0u);
  ASSERT_EQ(result.boxes.size(), 1u);
  EXPECT_EQ(result.boxes[0].title, L"velkorn");
  EXPECT_EQ(result.boxes[0].text, wide(texts::kHolidayNotice));
  EXPECT_EQ(stored("velkornBitmap"), std::string(today.day == 24 ? "eve.bmp" : "day.bmp") + '\0');
}

TEST(BuiltProgram, CarriesItsIconAndVersion) {
  const auto built = win32::executableDirectory();
  ASSERT_TRUE(built);
  const std::wstring file = (*built / "velkorn.exe").wstring();
  const HMODULE image = LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(image, nullptr);
  const HRSRC icon = FindResourceW(image, MAKEINTRESOURCEW(1), RT_GROUP_ICON);
  EXPECT_NE(icon, nullptr);
  FreeLibrary(image);

  std::string info(GetFileVersionInfoSizeW(file.c_str(), nullptr), '\0');
  ASSERT_FALSE(info.empty());
  ASSERT_TRUE(GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
  wchar_t* version = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\041104B0\\ProductVersion",
                             reinterpret_cast<void**>(&version), &length));
  EXPECT_EQ(std::wstring(version), L"1.0.0");
}

}  // namespace
}  // namespace velkorn::testing
