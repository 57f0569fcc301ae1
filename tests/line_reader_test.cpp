#include "schedule/line_reader.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/temp_dir.h"

namespace velkorn {
namespace {

using Lines = std::vector<std::string>;

Lines readAll(const std::filesystem::path& file) {
  auto reader = LineReader::open(file);
  EXPECT_TRUE(reader);
  Lines lines;
  BytesView line;
  LineReader::Status status;
  while (reader && (status = reader->next(line)) == LineReader::Status::Line) lines.emplace_back(line);
  EXPECT_EQ(status, LineReader::Status::End);
  return lines;
}

TEST(LineReader, SplitsAtEveryKindOfLineEnd) {
  const std::pair<std::string, Lines> cases[] = {
      {"", {}},
      {"\r\n", {""}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\r\nb", {"a", "b"}},
      {"a\r\n\r\n", {"a", ""}},
      {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"a\n\r", {"a", ""}},
      {std::string("x\0\x95\x5C\r\n", 5), {std::string("x\0\x95\x5C", 4)}},
  };
  testing::TempDir dir;
  for (const auto& [bytes, lines] : cases) EXPECT_EQ(readAll(dir.write("s.txt", bytes)), lines) << bytes;
}

// Lines longer than the buffer, and a CR LF split across two reads, which
// must still end one line, not two.
TEST(LineReader, ReadBoundariesChangeNothing) {
  testing::TempDir dir;
  for (std::size_t crAt : {65534u, 65535u, 65536u, 131071u, 300000u}) {
    const std::string first(crAt, 'q');
    EXPECT_EQ(readAll(dir.write("b.txt", first + "\r\nend\r\n")), (Lines{first, "end"})) << crAt;
    EXPECT_EQ(readAll(dir.write("c.txt", first + "\r")), Lines{first}) << crAt;
  }
}

TEST(LineReader, MissingFileDoesNotOpenAndADirectoryDoesNotRead) {
  testing::TempDir dir;
  EXPECT_FALSE(LineReader::open(dir.path() / "absent.txt"));
  auto reader = LineReader::open(dir.path());
  BytesView line;
  EXPECT_TRUE(!reader || reader->next(line) == LineReader::Status::Error);
}

}  // namespace
}  // namespace velkorn
