#include "platform/qt/iconv_code_page.h"

#include <gtest/gtest.h>

#include <random>

namespace velkorn {
namespace {

class Cp932 : public ::testing::Test {
 protected:
  qt::IconvCodePage codePage;
  Codec codec{codePage};
};

TEST_F(Cp932, JapanesePathsRoundTripWithBackslashes) {
  const Text path = U"C:\\画像\\郵便屋さん\\表示①.bmp";
  const Encoded encoded = codec.encode(path);
  ASSERT_FALSE(encoded.failure);
  // Backslashes stay 0x5C; 表 (0x95 0x5C) and 示 keep their own bytes.
  EXPECT_EQ(encoded.bytes.substr(0, 3), "C:\\");
  EXPECT_NE(encoded.bytes.find("\x95\x5C\x8E\xA6"), std::string::npos);
  EXPECT_EQ(codec.decode(encoded.bytes), path);
}

TEST_F(Cp932, TrailByte5CIsNotABackslash) {
  EXPECT_EQ(codec.decode("\x95\x5C\x5C"), U"表\\");
  EXPECT_EQ(codec.decode("\\"), U"\\");  // never a yen sign
}

TEST_F(Cp932, InvalidBytesComeBackByteIdentical) {
  const std::string cases[] = {"\x80", "\xA0", "\xFD\xFE\xFF", "ab\x81", "\x81 x", "\x81\x7F",
                               "\x85\x40", std::string("\0\x82", 2)};
  for (const std::string& bytes : cases) {
    const Text text = codec.decode(bytes);
    const Encoded back = codec.encode(text);
    ASSERT_FALSE(back.failure);
    EXPECT_EQ(back.bytes, bytes);
  }
  EXPECT_EQ(codec.decode("ab\x81"), (Text{U'a', U'b', escapeOf(0x81)}));
}

// CP932 maps some characters from two byte sequences (NEC row 13 and the IBM
// extensions); a load and save must not swap one for the other.
TEST_F(Cp932, DuplicateMappingsKeepTheirOwnBytes) {
  for (const std::string& bytes : {std::string("\x87\x90"), std::string("\x81\xE0"),
                                   std::string("\xED\x40"), std::string("\xFA\x5C")}) {
    EXPECT_EQ(codec.encode(codec.decode(bytes)).bytes, bytes);
  }
  EXPECT_EQ(codec.decode("\x81\xE0"), U"≒");
}

TEST_F(Cp932, RandomBytesAlwaysRoundTrip) {
  std::mt19937 random(932);
  for (int n = 0; n < 3000; ++n) {
    std::string bytes(random() % 24, '\0');
    for (char& b : bytes) b = static_cast<char>(random() % 2 ? 0x81 + random() % 0x7C : random() % 256);
    const Encoded back = codec.encode(codec.decode(bytes));
    ASSERT_FALSE(back.failure);
    ASSERT_EQ(back.bytes, bytes);
  }
}

TEST_F(Cp932, CharactersOutsideTheCodePageAreReportedNotReplaced) {
  const Encoded encoded = codec.encode(U"ok 郵便 é");
  ASSERT_TRUE(encoded.failure);
  EXPECT_EQ(encoded.failure->position, 6u);
  EXPECT_TRUE(codec.encode(U"😀").failure);
  EXPECT_TRUE(codec.encode(Text{char32_t{0xD800}}).failure);
}

}  // namespace
}  // namespace velkorn
