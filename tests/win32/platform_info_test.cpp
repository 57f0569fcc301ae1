#include "platform/win32/platform_info.h"

#include <gtest/gtest.h>

#include "schedule/schedule_file.h"

namespace velkorn {
namespace {

TEST(ExecutableDirectory, HoldsTheRunningProgram) {
  const auto directory = win32::executableDirectory();
  ASSERT_TRUE(directory);
  EXPECT_TRUE(directory->is_absolute());
  EXPECT_TRUE(std::filesystem::exists(*directory / "win32_platform_tests.exe"));
}

TEST(ScheduleFile, ProgramsAtADriveRootGetNoDoubledSeparator) {
  EXPECT_EQ(scheduleFileIn(std::filesystem::path(L"C:\\velkorn.exe").parent_path()).wstring(), L"C:\\velkorn.txt");
  EXPECT_EQ(scheduleFileIn(L"C:\\Program Files\\表").wstring(), L"C:\\Program Files\\表\\velkorn.txt");
}

// Paths shown in messages: NTFS allows a lone surrogate in a file name.
TEST(ScheduleFile, DisplayPathKeepsLoneSurrogatesInsteadOfThrowing) {
  const std::wstring odd = L"C:\\a\xD800" L"b\\velkorn.txt";
  EXPECT_EQ(displayPath(odd), (Text{U'C', U':', U'\\', U'a', 0xD800, U'b'} + U"\\velkorn.txt"));
}

}  // namespace
}  // namespace velkorn
