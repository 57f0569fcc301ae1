#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "schedule/text.h"

namespace velkorn {

// Reads a schedule file line by line, in file order, without the line ends.
// CR LF ends a line, and so does a lone LF or a lone CR; the line end at the
// very end of the file begins no further line, and an empty file has none.
// Memory stays bounded by the longest line, whatever the file's size, and a
// line longer than kMaxLine (no path is that long) is a read error.
class LineReader {
 public:
  enum class Status { Line, End, Error };
  static constexpr std::size_t kMaxLine = 1 << 20;

  // Nothing when the file cannot be opened, or is not a regular file.
  static std::unique_ptr<LineReader> open(const std::filesystem::path& path);

  // On Status::Line, `line` holds the line's bytes until the next call.
  Status next(BytesView& line);

 private:
  explicit LineReader(std::ifstream file);
  bool refill();  // false on a read error

  std::ifstream file_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;  // unread data is buffer_[begin_, end_)
  std::size_t end_ = 0;
  bool eof_ = false;
};

}  // namespace velkorn
