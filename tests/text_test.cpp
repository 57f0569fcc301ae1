#include "schedule/text.h"

#include <gtest/gtest.h>

#include "schedule/codec.h"
#include "schedule/schedule_file.h"
#include "tests/fakes.h"

namespace velkorn {
namespace {

constexpr char32_t kBad = 0xFFFD;

TEST(Utf8, DecodesEachLengthToItsLimitsAndReplacesEveryBadByte) {
  const std::pair<std::string_view, Text> valid[] = {
      {"a\x7F", U"a\x7F"},       {"\xC2\x80\xC3\xA9\xDF\xBF", U"\x80é\u07FF"},
      {"\xE0\xA0\x80\xEF\xBF\xBF", U"\u0800\uFFFF"},
      {"\xED\x9F\xBF\xEE\x80\x80", U"\uD7FF\uE000"},
      {"\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", U"\U00010000\U0010FFFF"},
  };
  for (const auto& [bytes, text] : valid) {
    EXPECT_EQ(fromUtf8(bytes), text) << bytes;
    EXPECT_EQ(toUtf8(text), bytes);
  }
  const std::pair<std::string_view, Text> invalid[] = {
      {"a\xFF" "b", {U'a', kBad, U'b'}},
      {"\xE3\x41\x82", {kBad, U'A', kBad}},               // not a continuation byte
      {"\xC0\xAF", {kBad, kBad}},                         // overlong
      {"\xE0\x9F\xBF", {kBad, kBad, kBad}},               // overlong
      {"\xF0\x8F\xBF\xBF", {kBad, kBad, kBad, kBad}},     // overlong
      {"\xED\xA0\x80", {kBad, kBad, kBad}},               // a surrogate
      {"\xF4\x90\x80\x80", {kBad, kBad, kBad, kBad}},     // past U+10FFFF
      {"\xF8\x88\x80\x80\x80", Text(5, kBad)},            // no such length
      {std::string_view("\xE3\x81\x82", 2), {kBad, kBad}},  // cut short
  };
  for (const auto& [bytes, text] : invalid) EXPECT_EQ(fromUtf8(bytes), text) << bytes;
  EXPECT_EQ(toUtf8(Text{0xD800, 0xDFFF, 0x110000}), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Utf16, PairsWhatNeedsAPairAndKeepsLoneSurrogates) {
  const Text text = {U'表', 0xFFFF, 0x10000, 0x10FFFF, escapeOf(0x81), 0xD800, U'x'};
  const std::u16string utf16 = {u'表', 0xFFFF, 0xD800, 0xDC00, 0xDBFF, 0xDFFF, 0xDC81, 0xD800, u'x'};
  EXPECT_EQ(toUtf16(text), utf16);
  EXPECT_EQ(fromUtf16(utf16), text);
  EXPECT_EQ(toUtf16(Text{0x110000}), std::u16string{0xFFFD});
  EXPECT_EQ(fromUtf16(std::u16string{0xDBFF, 0xDBFF, 0xDFFF, 0xD800}), (Text{0xDBFF, 0x10FFFF, 0xD800}));
}

class CodecTest : public ::testing::Test {
 protected:
  testing::FakeCodePage codePage;
  Codec codec{codePage};
};

// Bytes that are not text become escapes, and every byte string comes back
// byte for byte: invalid bytes, a lead byte cut off, and a sequence whose
// character would encode back to the other sequence of a double mapping.
TEST_F(CodecTest, KeepsEveryByteThroughADecodeAndAnEncode) {
  const std::pair<std::string_view, Text> cases[] = {
      {"\x95\x5C\\", U"表\\"},
      {"ab\x95", {U'a', U'b', escapeOf(0x95)}},
      {"\xFF\xFE\x80", {escapeOf(0xFF), escapeOf(0xFE), escapeOf(0x80)}},
      {"\x81\xE0", U"≒"},
      {"\x97\x58\x87\x90\x95\x5C", {U'郵', escapeOf(0x87), escapeOf(0x90), U'表'}},
      {"\x87\x90\x81\x5E-", {escapeOf(0x87), escapeOf(0x90), U'／', U'-'}},
  };
  for (const auto& [bytes, text] : cases) {
    EXPECT_EQ(codec.decode(bytes), text) << bytes;
    const Encoded back = codec.encode(text);
    EXPECT_FALSE(back.failure);
    EXPECT_EQ(back.bytes, bytes);
  }
}

TEST_F(CodecTest, EncodingStopsAtTheFirstCharacterTheCodePageLacks) {
  EXPECT_EQ(codec.encode(U"ok 郵便 é").failure->position, 6u);
  EXPECT_EQ(codec.encode(Text{escapeOf(0x81), U'é'}).failure->position, 1u);
}

TEST_F(CodecTest, TheScheduleFileIsTheListThenOneCrLfOrTheLineThatCannotBeSaved) {
  EXPECT_EQ(std::get<Bytes>(scheduleFileBytes(U"A\r\n表\r\n", codec)), "A\r\n\x95\x5C\r\n\r\n");
  EXPECT_EQ(std::get<Bytes>(scheduleFileBytes(U"", codec)), "\r\n");
  EXPECT_EQ(std::get<UnencodableLine>(scheduleFileBytes(U"ok\r\nok\r\nnot é\r\n", codec)).lineNumber, 3u);
  EXPECT_EQ(scheduleFileIn("/opt/v/"), std::filesystem::path("/opt/v/velkorn.txt"));
}

}  // namespace
}  // namespace velkorn
