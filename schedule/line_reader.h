#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <type_traits>
#include <vector>

#include "schedule/text.h"

namespace velkorn {

// Reads a schedule file in one pass, handing each line in file order, without
// its line end, to a visitor. CR LF ends a line, and so does a lone LF or a
// lone CR; the line end at the very end of the file begins no further line,
// and an empty file has none. Memory stays bounded by the longest line,
// whatever the file's size, and a line longer than kMaxLine (no path is that
// long) is a read error.
class LineReader {
 public:
  enum class Status { End, Error };
  static constexpr std::size_t kMaxLine = 1 << 20;
  // Large reads, few system calls; still small enough to stay in the cache
  // while their lines are looked at.
  static constexpr std::size_t kChunk = 256 * 1024;

  // Nothing when the file cannot be opened, or is not a regular file.
  static std::unique_ptr<LineReader> open(const std::filesystem::path& path);

  // Calls `visit(BytesView line)` for every line; the view lasts until the
  // call returns. Stops at the end of the file, at a read error after the
  // lines before it, or where a visitor that returns bool returns false.
  template <typename Visit>
  Status forEach(Visit&& visit);

 private:
  explicit LineReader(std::ifstream file);
  bool refill();  // false on a read error

  std::ifstream file_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;  // unread data is buffer_[begin_, end_)
  std::size_t end_ = 0;
  bool eof_ = false;
};

namespace detail {

// The first CR or LF in [from, end), or end. Eight bytes at a time: a line
// end is one of the few bytes below 14, which a few operations find in a
// word (exactly its first one in memory order on a little-endian machine;
// each byte found is checked anyway).
inline const char* findLineEnd(const char* from, const char* end) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighs = 0x8080808080808080u;
  const char* p = from;
  while (end - p >= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    const std::uint64_t below14 = (word - kOnes * 14) & ~word & kHighs;
    if (!below14) {
      p += 8;
      continue;
    }
    p += (std::endian::native == std::endian::little ? std::countr_zero(below14) : std::countl_zero(below14)) / 8;
    if (*p == '\n' || *p == '\r') return p;
    ++p;  // a tab or another control character
  }
  while (p != end && *p != '\n' && *p != '\r') ++p;
  return p;
}

}  // namespace detail

template <typename Visit>
LineReader::Status LineReader::forEach(Visit&& visit) {
  const auto wantsMore = [&](BytesView line) {
    if constexpr (std::is_same_v<std::invoke_result_t<Visit&, BytesView>, bool>) {
      return visit(line);
    } else {
      visit(line);
      return true;
    }
  };
  for (;;) {
    const char* p = buffer_.data() + begin_;
    const char* const end = buffer_.data() + end_;
    for (;;) {
      const char* stop = detail::findLineEnd(p, end);
      // A CR as the last buffered byte may still be the first half of CR LF.
      if (stop == end || (stop + 1 == end && *stop == '\r' && !eof_)) break;
      if (static_cast<std::size_t>(stop - p) > kMaxLine) return Status::Error;
      const BytesView line(p, static_cast<std::size_t>(stop - p));
      p = stop + (*stop == '\r' && stop + 1 != end && stop[1] == '\n' ? 2 : 1);
      if (!wantsMore(line)) return Status::End;
    }
    begin_ = static_cast<std::size_t>(p - buffer_.data());
    if (eof_) {
      if (p == end) return Status::End;
      if (static_cast<std::size_t>(end - p) > kMaxLine) return Status::Error;
      begin_ = end_;
      wantsMore(BytesView(p, static_cast<std::size_t>(end - p)));  // a last line without a line end
      return Status::End;
    }
    if (!refill()) return Status::Error;
  }
}

}  // namespace velkorn
