#include "schedule/schedule_file.h"

#include <algorithm>

namespace velkorn {

std::filesystem::path scheduleFileIn(const std::filesystem::path& programDirectory) {
  return programDirectory / kScheduleFileName;
}

Text displayPath(const std::filesystem::path& path) {
  // POSIX paths are bytes, UTF-8 by convention; a stray byte must not throw.
#ifdef _WIN32
  return path.u32string();
#else
  return fromUtf8(path.native());
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
