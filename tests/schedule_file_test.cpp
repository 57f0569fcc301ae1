#include "schedule/schedule_file.h"

#include <gtest/gtest.h>

#include "tests/fakes.h"

namespace velkorn {
namespace {

TEST(ScheduleFile, JoinsWithoutDoublingTheSeparator) {
  EXPECT_EQ(scheduleFileIn("/opt/velkorn"), std::filesystem::path("/opt/velkorn/velkorn.txt"));
  EXPECT_EQ(scheduleFileIn("/opt/velkorn/"), std::filesystem::path("/opt/velkorn/velkorn.txt"));
  EXPECT_EQ(scheduleFileIn("/"), std::filesystem::path("/velkorn.txt"));
}

TEST(ScheduleFile, WholeFileBytesAreTheListTextThenOneCrLf) {
  testing::FakeCodePage codePage;
  const Codec codec(codePage);
  const auto bytes = scheduleFileBytes(U"A\r\nB\r\n", codec);
  ASSERT_TRUE(std::holds_alternative<Bytes>(bytes));
  EXPECT_EQ(std::get<Bytes>(bytes), "A\r\nB\r\n\r\n");
  EXPECT_EQ(std::get<Bytes>(scheduleFileBytes(U"", codec)), "\r\n");
  EXPECT_EQ(std::get<Bytes>(scheduleFileBytes(U"12/24 P 表\\絵.bmp", codec)),
            "12/24 P \x95\x5C\\\x8A\x47.bmp\r\n");
}

TEST(ScheduleFile, UnencodableCharacterNamesItsLine) {
  testing::FakeCodePage codePage;
  const Codec codec(codePage);
  const auto bytes = scheduleFileBytes(U"ok\r\nalso ok\r\nnot é ok\r\n", codec);
  ASSERT_TRUE(std::holds_alternative<UnencodableLine>(bytes));
  EXPECT_EQ(std::get<UnencodableLine>(bytes).lineNumber, 3u);
}

}  // namespace
}  // namespace velkorn
