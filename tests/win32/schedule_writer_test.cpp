#include "platform/win32/schedule_writer.h"

#include <gtest/gtest.h>

#include "tests/temp_dir.h"

namespace velkorn {
namespace {

using testing::readBytes;
using testing::TempDir;

std::size_t entriesIn(const std::filesystem::path& dir) {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
  return n;
}

TEST(ReplacingWriter, ReplacesTheWholeFileAndLeavesNothingBehind) {
  TempDir dir;
  const auto file = dir.write("velkorn.txt", "a much longer old content\r\n");
  win32::ReplacingWriter writer;
  ASSERT_TRUE(writer.replaceContents(file, "\x95\x5C\r\n"));
  EXPECT_EQ(readBytes(file), "\x95\x5C\r\n");
  EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(ReplacingWriter, FailsWithoutTouchingWhatIsThere) {
  TempDir dir;
  std::filesystem::create_directory(dir.path() / "velkorn.txt");
  win32::ReplacingWriter writer;
  EXPECT_FALSE(writer.replaceContents(dir.path() / "velkorn.txt", "new\r\n"));
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "velkorn.txt"));
  EXPECT_FALSE(writer.replaceContents(dir.path() / "missing" / "velkorn.txt", "new\r\n"));
  EXPECT_EQ(entriesIn(dir.path()), 1u);
}

}  // namespace
}  // namespace velkorn
