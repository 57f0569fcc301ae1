#include "schedule/line_reader.h"

#include <cstring>

namespace velkorn {

namespace {
constexpr std::size_t kChunk = 64 * 1024;
}

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

LineReader::Status LineReader::next(BytesView& line) {
  for (;;) {
    const char* data = buffer_.data() + begin_;
    const std::size_t size = end_ - begin_;
    const char* lf = static_cast<const char*>(std::memchr(data, '\n', size));
    const std::size_t lfAt = lf ? static_cast<std::size_t>(lf - data) : size;
    const char* cr = static_cast<const char*>(std::memchr(data, '\r', lfAt));
    const std::size_t stop = cr ? static_cast<std::size_t>(cr - data) : lfAt;

    if (stop < size) {
      std::size_t after = stop + 1;
      if (data[stop] == '\r') {
        // A CR as the last buffered byte may still be the first half of CR LF.
        if (after == size && !eof_) {
          if (!refill()) return Status::Error;
          continue;
        }
        if (after < size && data[after] == '\n') ++after;
      }
      if (stop > kMaxLine) return Status::Error;
      line = BytesView(data, stop);
      begin_ += after;
      return Status::Line;
    }
    if (eof_) {
      if (size == 0) return Status::End;
      if (size > kMaxLine) return Status::Error;
      line = BytesView(data, size);  // a last line without a line end
      begin_ = end_;
      return Status::Line;
    }
    if (!refill()) return Status::Error;
  }
}

}  // namespace velkorn
