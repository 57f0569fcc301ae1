// The file format: the due rule and the fields by character position, the
// line reader, the text conversions and the lossless codec.

#include <gtest/gtest.h>

#include "schedule/entry.h"
#include "schedule/line_reader.h"
#include "schedule/schedule_file.h"
#include "tests/fakes.h"
#include "tests/temp_dir.h"

namespace velkorn::testing {
namespace {

// A field the line is too short to hold never matches, even where the
// characters past the line's end would; nor does a kind. (The kinds and
// paths of due lines are the daily run's tests'.)
TEST(DueRule, ComparesTheFieldsByCharacterPosition) {
  const std::tuple<TextView, int, int, bool> cases[] = {
      {U"12/24 P x.bmp", 12, 24, true}, {U"12-24 P x.bmp", 12, 24, true}, {U"12/24", 12, 24, true},
      {U"12／24 P 絵", 12, 24, true},    {U"00/00 W x.bmp", 3, 3, true},   {U"00-00", 10, 31, true},
      {U"01/21 R x", 1, 21, true},      {U"12/24 P x", 11, 24, false},    {U"12/24 P x", 12, 25, false},
      {U"00/24 P x", 12, 24, false},    {U"12/00 P x", 12, 24, false},    {U"1/5 P x.bmp", 1, 5, false},
      {U"", 12, 24, false},             {U"１２/24 P x", 12, 24, false},
      {TextView(U"12/24").substr(0, 4), 12, 24, false}, {TextView(U"12/24").substr(0, 1), 12, 24, false}};
  for (const auto& [line, month, day, due] : cases) {
    EXPECT_EQ(isDue(line, dayKeyOf({2026, month, day})), due) << toUtf8(line) << " on " << month << "/" << day;
  }
  EXPECT_EQ(kindOf(TextView(U"12/24 P").substr(0, 6)), std::nullopt);
  EXPECT_EQ(fieldNumber(U"1x"), -1);
}

// The lines, and "(error)" where reading failed.
std::vector<std::string> readLines(const std::filesystem::path& file) {
  auto reader = LineReader::open(file);
  std::vector<std::string> lines;
  if (!reader || reader->forEach([&](BytesView line) { lines.emplace_back(line); }) == LineReader::Status::Error) {
    lines.emplace_back("(error)");
  }
  return lines;
}

TEST(LineReader, SplitsAtEveryKindOfLineEndAndAtNoReadBoundary) {
  using Lines = std::vector<std::string>;
  const std::string longest(LineReader::kMaxLine, 'q');
  std::vector<std::pair<std::string, Lines>> cases = {
      {"", {}},          {"\r\n", {""}},         {"a\r\nb\r\n", {"a", "b"}}, {"a\r\nb", {"a", "b"}},
      {"a\n\r", {"a", ""}}, {"a\r\r\nb", {"a", "", "b"}}, {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
      {std::string("x\0\x95\x5C\r\n", 5), {std::string("x\0\x95\x5C", 4)}},
      // No line is longer than a mebibyte: a longer one is a read error.
      {longest + "\r\n" + longest, {longest, longest}}, {"a\n" + longest + "q\r\nb", {"a", "(error)"}},
      {longest + "q", {"(error)"}}};
  // Lines longer than the buffer, and CR LF split across two reads.
  constexpr std::size_t kChunk = LineReader::kChunk;
  for (std::size_t crAt : {kChunk - 2, kChunk - 1, kChunk, kChunk + 1000, 2 * kChunk - 1}) {
    cases.push_back({std::string(crAt, 'q') + "\r\nend\r\n", {std::string(crAt, 'q'), "end"}});
    cases.push_back({std::string(crAt, 'q') + "\r", {std::string(crAt, 'q')}});
  }
  // A CR as the file's last byte, past a buffer's worth of lines: what the
  // buffer held there before is no line end.
  std::string pairs;
  for (std::size_t i = 0; i < kChunk / 2; ++i) pairs += "x\n";
  Lines xs(kChunk / 2, "x");
  xs.push_back("");
  cases.push_back({pairs + "\r", xs});
  TempDir dir;
  for (const auto& [bytes, lines] : cases) EXPECT_EQ(readLines(dir.write("s.txt", bytes)), lines) << bytes.size();
  // Only a regular file opens.
  EXPECT_FALSE(LineReader::open(dir.path() / "absent.txt") || LineReader::open(dir.path()));
#ifdef __linux__
  // Regular files that fail every read, or cannot be opened (pid 1's memory,
  // for an unprivileged user or in a container).
  EXPECT_EQ(readLines("/proc/self/mem"), Lines{"(error)"});
  EXPECT_EQ(readLines("/proc/1/mem"), Lines{"(error)"});
#endif
}

TEST(Utf, DecodesEachLengthToItsLimitsAndReplacesEveryBadByte) {
  const std::pair<std::string_view, Text> valid[] = {
      {std::string_view("\0a\x7F", 3), Text{0, U'a', 0x7F}},
      {"\xC2\x80\xC3\xA9\xDF\xBF", U"\x80é\u07FF"},
      {"\xE0\xA0\x80\xEF\xBF\xBF\xED\x9F\xBF\xEE\x80\x80", U"\u0800\uFFFF\uD7FF\uE000"},
      {"\xF0\x90\x80\x80\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF", U"\U00010000\U0001F600\U0010FFFF"}};
  for (const auto& [bytes, text] : valid) {
    EXPECT_EQ(fromUtf8(bytes), text) << bytes;
    EXPECT_EQ(toUtf8(text), bytes);
  }
  constexpr char32_t bad = 0xFFFD;
  const std::pair<std::string_view, Text> invalid[] = {
      {"a\xFF" "b", {U'a', bad, U'b'}},
      {"\xE3\x41\x82", {bad, U'A', bad}},              // not a continuation byte
      {"\xC0\xAF\xE0\x9F\xBF", Text(5, bad)},           // overlong
      {"\xF0\x8F\xBF\xBF\xED\xA0\x80\xED\xBF\xBF", Text(10, bad)},  // overlong; surrogates
      {"\xF4\x90\x80\x80\xF8\x88\x80\x80\x80", Text(9, bad)},  // past U+10FFFF; no such length
      {std::string_view("\xE3\x81\x82", 2), {bad, bad}}};     // cut short
  for (const auto& [bytes, text] : invalid) EXPECT_EQ(fromUtf8(bytes), text) << bytes;
  EXPECT_EQ(toUtf8(Text{0xD800, 0xDFFF, 0x110000}), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
  // UTF-16 pairs what needs a pair, and keeps lone surrogates.
  const Text text = {U'表', 0xFFFF, 0x10000, 0x10FFFF, escapeOf(0x81), 0xD800, U'x'};
  const std::u16string utf16 = {u'表', 0xFFFF, 0xD800, 0xDC00, 0xDBFF, 0xDFFF, 0xDC81, 0xD800, u'x'};
  EXPECT_EQ(toUtf16(text), utf16);
  EXPECT_EQ(fromUtf16(utf16), text);
  EXPECT_EQ(toUtf16(Text{0x110000}), std::u16string{0xFFFD});
  EXPECT_EQ(fromUtf16(std::u16string{0xDBFF, 0xDBFF, 0xDFFF, 0xD800, 0xD800, 0xDC00}),  // a pair last of all too
            (Text{0xDBFF, 0x10FFFF, 0xD800, 0x10000}));
  EXPECT_EQ(fromUtf16(std::u16string_view(u"a\xD800\xDC00", 2)), (Text{U'a', 0xD800}));  // nothing read past the end
}

// A code page that decodes two sequences each to a letter and its accent,
// and encodes one of the pairs back, whole.
struct LetterAndAccent final : CodePage {
  std::size_t decodePrefix(BytesView bytes, Text& out) const override {
    if (bytes.size() < 2 || bytes[0] != '\xA5' || (bytes[1] != '\xB1' && bytes[1] != '\xB2')) return 0;
    out += bytes[1] == '\xB1' ? U"e\u0301" : U"e\u0300";
    return 2;
  }
  std::size_t encodePrefix(TextView text, Bytes& out) const override {
    if (!text.starts_with(U"e\u0301")) return 0;
    out += "\xA5\xB1";
    return 2;
  }
  unsigned number() const override { return 1258; }
};

// Bytes that are not text become escapes, and every byte string comes back
// byte for byte: invalid bytes, a lead byte cut off, and a sequence whose
// character would encode back to the other sequence of a double mapping.
TEST(Codec, KeepsEveryByteThroughADecodeAndAnEncode) {
  const std::pair<std::string_view, Text> cases[] = {
      {"\x95\x5C\\", U"表\\"}, {"ab\x95", {U'a', U'b', escapeOf(0x95)}}, {"\x81\xE0", U"≒"},
      {"\xFF\xFE\x80", {escapeOf(0xFF), escapeOf(0xFE), escapeOf(0x80)}},
      {"\x97\x58\x87\x90\x95\x5C", {U'郵', escapeOf(0x87), escapeOf(0x90), U'表'}},
      {"\x87\x90\x81\x5E-", {escapeOf(0x87), escapeOf(0x90), U'／', U'-'}}};
  for (const auto& [bytes, text] : cases) {
    EXPECT_EQ(kCodec.decode(bytes), text) << bytes;
    EXPECT_EQ(kCodec.encode(text).bytes, bytes);
  }
  EXPECT_EQ(kCodec.encode(U"ok 郵便 é").failure->position, 6u);
  EXPECT_EQ(kCodec.encode(Text{escapeOf(0x81), U'é'}).failure->position, 1u);
  // A run that splits into no single characters is kept as its bytes, unless
  // it comes back whole.
  const LetterAndAccent accents;
  const Codec accented(accents);
  EXPECT_EQ(accented.encode(accented.decode("x\xA5\xB2")).bytes, "x\xA5\xB2");
  EXPECT_EQ(accented.decode("\xA5\xB1"), U"e\u0301");
  EXPECT_TRUE(kCodec.encode(U"\u0080").failure);  // not a byte of its own
}

// A file Notepad saved in UTF-8, with or without its mark, is read as UTF-8;
// one valid in the code page, as always. Text in the code page that is also
// valid UTF-8 (ﾃｩ) reads as UTF-8; a file mixing both, in the code page.
TEST(ScheduleFile, ReadsUtf8AsSuchAndEverythingElseInTheCodePage) {
  using enum ScheduleEncoding;
  const std::tuple<std::string, ScheduleEncoding, Text> cases[] = {
      {"\xEF\xBB\xBF" "a \xE9\x83\xB5\xE4\xBE\xBF\r\n", Utf8, U"a 郵便|"},
      {"a \xE9\x83\xB5\xE4\xBE\xBF\r\nb", Utf8, U"a 郵便|b|"},
      {"a\r\n\xEF\xBB\xBF" "b", Utf8, U"a|\uFEFFb|"},  // a mark is only a mark at the start
      {"a \x97\x58\x95\xD6", CodePage, U"a 郵便|"},
      {"\xC3\xA9", Utf8, U"é|"},
      {"\xE9\x83\xB5\r\n\x95\x5C", CodePage, Text{escapeOf(0xE9), escapeOf(0x83), escapeOf(0xB5), U'|', U'表', U'|'}},
      {"\xEF\xBB\xBF\xFF", Utf8, Text{escapeOf(0xFF), U'|'}}};
  TempDir dir;
  for (const auto& [bytes, encoding, lines] : cases) {
    Text read;
    const auto file = readScheduleLines(dir.write("s.txt", bytes), kCodec, [&](TextView line) { read += Text(line) + U"|"; });
    EXPECT_EQ(file->encoding, encoding) << bytes;
    EXPECT_EQ(read, lines) << bytes;
  }
}

}  // namespace
}  // namespace velkorn::testing
