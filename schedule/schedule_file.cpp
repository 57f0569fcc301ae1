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

std::variant<Bytes, UnencodableLine> scheduleFileBytes(TextView listText, const Codec& codec) {
  Encoded encoded = codec.encode(listText);
  if (encoded.failure) {
    const auto upTo = listText.begin() + static_cast<std::ptrdiff_t>(encoded.failure->position);
    return UnencodableLine{static_cast<std::size_t>(std::count(listText.begin(), upTo, U'\n')) + 1};
  }
  encoded.bytes += "\r\n";
  return std::move(encoded.bytes);
}

}  // namespace velkorn
