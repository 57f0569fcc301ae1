#include "schedule/schedule_file.h"

#include <algorithm>

namespace velkorn {

std::filesystem::path scheduleFileIn(const std::filesystem::path& programDirectory) {
  return programDirectory / kScheduleFileName;
}

Text displayPath(const std::filesystem::path& path) {
  // Neither may throw: POSIX paths are bytes, UTF-8 only by convention, and
  // a Windows file name may hold a lone surrogate (path::u32string throws).
#ifdef _WIN32
  const std::wstring& wide = path.native();
  return fromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
#else
  return fromUtf8(path.native());
#endif
}

std::filesystem::path nativePath(TextView path) {
#ifdef _WIN32
  const std::u16string utf16 = toUtf16(path);
  return std::wstring(utf16.begin(), utf16.end());
#else
  return toUtf8(path);
#endif
}

namespace {

constexpr BytesView kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

BytesView EncodingDetector::learn(BytesView line) {
  if (first_) {
    first_ = false;
    if (line.starts_with(kByteOrderMark)) {
      settled_ = utf8_ = true;
      return line.substr(kByteOrderMark.size());
    }
  }
  if (!settled_ && !isAscii(line)) {
    settled_ = !isUtf8(line);
    utf8_ = !settled_;
  }
  return line;
}

void decodeLineAppend(BytesView line, ScheduleEncoding encoding, const Codec& codec, Text& out) {
  encoding == ScheduleEncoding::Utf8 ? appendUtf8KeepingBytes(line, out) : codec.decodeAppend(line, out);
}

std::optional<ScheduleLines> readScheduleLines(const std::filesystem::path& file, const Codec& codec,
                                               const std::function<void(TextView line)>& visit) {
  EncodingDetector detector;
  const auto look = LineReader::open(file);
  const auto reader = LineReader::open(file);
  if (!look || !reader) return std::nullopt;
  if (look->forEach([&](BytesView line) { return detector.see(line), !detector.settled(); }) == LineReader::Status::Error) {
    return ScheduleLines{LineReader::Status::Error, detector.encoding()};
  }
  // Each line decoded as the whole file told; the mark taken off the first
  // as the scheduler's pass does it.
  EncodingDetector again;
  Text text;
  const LineReader::Status status = reader->forEach([&](BytesView line) {
    text.clear();
    decodeLineAppend(again.see(line), detector.encoding(), codec, text);
    visit(text);
  });
  return ScheduleLines{status, detector.encoding()};
}

std::variant<Bytes, UnencodableLine> scheduleFileBytes(TextView listText, const Codec& codec) {
  Encoded encoded = codec.encode(listText);
  if (encoded.failure) {
    const std::size_t at = encoded.failure->position;
    const TextView before = listText.substr(0, at);
    const std::size_t lineStart = before.rfind(U'\n') + 1;  // npos + 1: the first line's start
    return UnencodableLine{static_cast<std::size_t>(std::ranges::count(before, U'\n')) + 1, at - lineStart + 1,
                           listText[at]};
  }
  encoded.bytes += "\r\n";
  return std::move(encoded.bytes);
}

}  // namespace velkorn
