#include "platform/qt/schedule_writer.h"

#include <gtest/gtest.h>

#include "tests/temp_dir.h"

namespace velkorn {
namespace {

using testing::readBytes;
using testing::TempDir;

TEST(SaveFileWriter, ReplacesTheWholeFile) {
  TempDir dir;
  const auto file = dir.write("velkorn.txt", "a much longer old content\r\n");
  qt::SaveFileWriter writer;
  ASSERT_TRUE(writer.replaceContents(file, "new\r\n"));
  EXPECT_EQ(readBytes(file), "new\r\n");
}

TEST(SaveFileWriter, KeepsASymbolicLinkAndReplacesItsTarget) {
  TempDir dir;
  const auto target = dir.write("real.txt", "old\r\n");
  const auto link = dir.path() / "velkorn.txt";
  std::filesystem::create_symlink(target, link);
  qt::SaveFileWriter writer;
  ASSERT_TRUE(writer.replaceContents(link, "new\r\n"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(readBytes(target), "new\r\n");
}

TEST(SaveFileWriter, ReportsFailureAndLeavesNoStrayFiles) {
  TempDir dir;
  // A directory where the file should be: nothing can replace it.
  std::filesystem::create_directory(dir.path() / "velkorn.txt");
  qt::SaveFileWriter writer;
  EXPECT_FALSE(writer.replaceContents(dir.path() / "velkorn.txt", "new\r\n"));
  EXPECT_FALSE(writer.replaceContents(dir.path() / "missing" / "velkorn.txt", "new\r\n"));
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 1);
}

}  // namespace
}  // namespace velkorn
