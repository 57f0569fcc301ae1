// schedule/: the schedule file's format, the due rule and the kinds; it
// depends on nothing above it.
#pragma once

#include <filesystem>
#include <variant>

#include "schedule/codec.h"
#include "schedule/text.h"

namespace velkorn {

inline constexpr const char* kScheduleFileName = "velkorn.txt";

// The schedule file beside a program, joined so that a directory that already
// ends in a separator (a drive root) does not get a second one.
std::filesystem::path scheduleFileIn(const std::filesystem::path& programDirectory);

// A path for messages.
Text displayPath(const std::filesystem::path& path);

// A path of Text as this system names its files (the inverse of displayPath).
std::filesystem::path nativePath(TextView path);

// The bytes of a whole-file write: the editor's list text as it stands,
// converted to the code page, then one CR LF.
struct UnencodableLine {
  std::size_t lineNumber;  // 1-based, counting CR LF-separated lines
};
std::variant<Bytes, UnencodableLine> scheduleFileBytes(TextView listText, const Codec& codec);

}  // namespace velkorn
