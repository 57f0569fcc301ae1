// schedule/: the schedule file's format, the due rule and the kinds; it
// depends on nothing above it.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <variant>

#include "schedule/codec.h"
#include "schedule/line_reader.h"
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

// How the file's bytes are its text. The editor writes the ANSI code page;
// Notepad writes UTF-8 by default, with or without a byte-order mark. A file
// is read as UTF-8 when it begins with the mark, or when all of it is valid
// UTF-8 and some of it is not ASCII (text in the code page with kana or
// kanji practically never is); otherwise in the code page, byte for byte.
enum class ScheduleEncoding { CodePage, Utf8 };

// Learns a file's encoding from its lines, each seen in file order.
class EncodingDetector {
 public:
  // The line as text begins: the first without the file's byte-order mark.
  // Inline: the scheduler shows it every line, nearly always settled.
  BytesView see(BytesView line) { return settled_ ? line : learn(line); }
  // Whether lines still to come could change the answer: a mark settles it,
  // and so does a byte that is not UTF-8.
  bool settled() const { return settled_; }
  ScheduleEncoding encoding() const { return utf8_ ? ScheduleEncoding::Utf8 : ScheduleEncoding::CodePage; }

 private:
  BytesView learn(BytesView line);

  bool first_ = true;
  bool settled_ = false;
  bool utf8_ = false;  // a mark, or UTF-8 that is not ASCII so far
};

// A line of the file as text, appended; bytes that are not text become
// escapes either way.
void decodeLineAppend(BytesView line, ScheduleEncoding encoding, const Codec& codec, Text& out);

// Every line of the file as text, in file order, for a reader that takes
// in the whole file before it shows anything (the editor, the checker): a
// first look learns the encoding, then each line is decoded. Nothing when
// the file cannot be opened; otherwise whether it was read to its end, and
// its encoding.
struct ScheduleLines {
  LineReader::Status status;
  ScheduleEncoding encoding;
};
std::optional<ScheduleLines> readScheduleLines(const std::filesystem::path& file, const Codec& codec,
                                               const std::function<void(TextView line)>& visit);

// The bytes of a whole-file write: the editor's list text as it stands,
// converted to the code page, then one CR LF.
struct UnencodableLine {
  std::size_t lineNumber;  // 1-based, counting CR LF-separated lines
  std::size_t column;      // 1-based, in characters
  char32_t character;
};
std::variant<Bytes, UnencodableLine> scheduleFileBytes(TextView listText, const Codec& codec);

}  // namespace velkorn
