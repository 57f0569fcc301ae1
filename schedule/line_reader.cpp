#include "schedule/line_reader.h"

namespace velkorn {

std::unique_ptr<LineReader> LineReader::open(const std::filesystem::path& path) {
  // Only a regular file: a FIFO would block the open, a device never end.
  std::error_code notThere;
  if (!std::filesystem::is_regular_file(path, notThere)) return nullptr;
  std::ifstream file(path, std::ios::binary);
  if (!file.is_open()) return nullptr;
  return std::unique_ptr<LineReader>(new LineReader(std::move(file)));
}

LineReader::LineReader(std::ifstream file) : file_(std::move(file)), buffer_(kChunk) {}

bool LineReader::refill() {
  // Keep the unread tail, and make room: double the buffer for a line longer
  // than it, up to the longest line there may be.
  const std::size_t kept = end_ - begin_;
  if (kept > kMaxLine) return false;
  std::memmove(buffer_.data(), buffer_.data() + begin_, kept);
  begin_ = 0;
  end_ = kept;
  if (buffer_.size() - end_ < kChunk / 2) buffer_.resize(buffer_.size() * 2);
  file_.read(buffer_.data() + end_, static_cast<std::streamsize>(buffer_.size() - end_));
  end_ += static_cast<std::size_t>(file_.gcount());
  if (file_.bad()) return false;
  if (file_.eof()) eof_ = true;
  return true;
}

}  // namespace velkorn
