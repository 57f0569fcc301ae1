#include "schedule/line_reader.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/temp_dir.h"

namespace velkorn {
namespace {

using testing::TempDir;

std::vector<std::string> readAll(const std::filesystem::path& file) {
  auto reader = LineReader::open(file);
  EXPECT_TRUE(reader);
  std::vector<std::string> lines;
  BytesView line;
  LineReader::Status status;
  while ((status = reader->next(line)) == LineReader::Status::Line) lines.emplace_back(line);
  EXPECT_EQ(status, LineReader::Status::End);
  return lines;
}

struct SplitCase {
  std::string bytes;
  std::vector<std::string> lines;
};

class LineEnds : public ::testing::TestWithParam<SplitCase> {};

TEST_P(LineEnds, SplitAsWritten) {
  TempDir dir;
  EXPECT_EQ(readAll(dir.write("s.txt", GetParam().bytes)), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Files, LineEnds,
    ::testing::Values(SplitCase{"", {}}, SplitCase{"\r\n", {""}}, SplitCase{"a\r\nb\r\n", {"a", "b"}},
                      SplitCase{"a\r\nb", {"a", "b"}}, SplitCase{"a\r\n\r\n", {"a", ""}},
                      SplitCase{"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
                      SplitCase{"a\r\r\nb", {"a", "", "b"}}, SplitCase{"a\n\r", {"a", ""}},
                      SplitCase{"\x95\x5C\r\n", {"\x95\x5C"}},
                      SplitCase{std::string("x\0y\r\n", 5), {std::string("x\0y", 3)}}));

TEST(LineReader, LinesLongerThanItsBufferComeWhole) {
  TempDir dir;
  const std::string longLine(300000, 'x');
  EXPECT_EQ(readAll(dir.write("s.txt", "a\r\n" + longLine + "\r\nb")),
            (std::vector<std::string>{"a", longLine, "b"}));
}

// A CR LF split across two reads must still end one line, not two.
TEST(LineReader, CrLfAcrossAReadBoundaryEndsOneLine) {
  TempDir dir;
  for (std::size_t crAt : {65534u, 65535u, 65536u, 131071u}) {
    const std::string first(crAt, 'q');
    EXPECT_EQ(readAll(dir.write("b.txt", first + "\r\nend\r\n")), (std::vector<std::string>{first, "end"}))
        << crAt;
    EXPECT_EQ(readAll(dir.write("c.txt", first + "\r")), (std::vector<std::string>{first})) << crAt;
  }
}

TEST(LineReader, MissingFileDoesNotOpen) {
  TempDir dir;
  EXPECT_FALSE(LineReader::open(dir.path() / "absent.txt"));
}

TEST(LineReader, DirectoryIsAnErrorNotAnEmptyFile) {
  TempDir dir;
  auto reader = LineReader::open(dir.path());
  if (!reader) return;  // refusing to open is as good
  BytesView line;
  EXPECT_EQ(reader->next(line), LineReader::Status::Error);
}

}  // namespace
}  // namespace velkorn
