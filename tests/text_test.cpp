#include "schedule/text.h"

#include <gtest/gtest.h>

#include "schedule/codec.h"
#include "tests/fakes.h"

namespace velkorn {
namespace {

TEST(Utf8, RoundTripsAndNeverThrowsOnBadInput) {
  const Text japanese = U"C:\\絵\\郵便屋さん.bmp 😀";
  EXPECT_EQ(fromUtf8(toUtf8(japanese)), japanese);
  EXPECT_EQ(fromUtf8("a\xFF" "b"), U"a\uFFFDb");
  EXPECT_EQ(fromUtf8("\xE3\x81"), U"\uFFFD\uFFFD");        // cut short
  EXPECT_EQ(fromUtf8("\xC0\xAF"), U"\uFFFD\uFFFD");        // overlong
  EXPECT_EQ(toUtf8(Text{escapeOf(0x81)}), "\xEF\xBF\xBD");  // escapes are not text
}

TEST(Utf16, PairsSurrogatesAndKeepsLoneOnesAsTheyAre) {
  const Text text = {U'表', 0x1F600, escapeOf(0x81), 0xD800, U'x'};
  const std::u16string utf16 = toUtf16(text);
  EXPECT_EQ(utf16, (std::u16string{u'表', 0xD83D, 0xDE00, 0xDC81, 0xD800, u'x'}));
  EXPECT_EQ(fromUtf16(utf16), text);
}

// The escape logic of the codec, independent of any real code page.
TEST(Codec, EveryByteStringRoundTripsByteForByte) {
  testing::FakeCodePage codePage;
  const Codec codec(codePage);
  const std::string samples[] = {"", "plain", "\x95\x5C\\", "\x81", "\x81\x5E\x81", "\xFF\xFE\x80",
                                 "\x97\x58\x95\xD6 \x97"};
  for (const std::string& bytes : samples) {
    const Text text = codec.decode(bytes);
    const Encoded back = codec.encode(text);
    EXPECT_FALSE(back.failure) << bytes;
    EXPECT_EQ(back.bytes, bytes);
  }
  EXPECT_EQ(codec.decode("\x95\x5C\\"), U"表\\");
}

}  // namespace
}  // namespace velkorn
