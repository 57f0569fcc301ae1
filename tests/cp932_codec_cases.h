#pragma once

// What every platform's CP932 code page must do under the lossless codec: a
// typed test suite, instantiated by each platform's tests with its own
// CodePage class.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "schedule/codec.h"

namespace velkorn::testing {

template <typename PlatformCodePage>
class Cp932 : public ::testing::Test {
 protected:
  PlatformCodePage codePage;
  Codec codec{codePage};
};
TYPED_TEST_SUITE_P(Cp932);

TYPED_TEST_P(Cp932, JapanesePathsRoundTripWithBackslashes) {
  const Text path = U"C:\\画像\\郵便屋さん\\表示①.bmp";
  const Encoded encoded = this->codec.encode(path);
  ASSERT_FALSE(encoded.failure);
  // Backslashes stay 0x5C; 表 (0x95 0x5C) and 示 keep their own bytes.
  EXPECT_EQ(encoded.bytes.substr(0, 3), "C:\\");
  EXPECT_NE(encoded.bytes.find("\x95\x5C\x8E\xA6"), std::string::npos);
  EXPECT_EQ(this->codec.decode(encoded.bytes), path);
}

TYPED_TEST_P(Cp932, TrailByte5CIsNotABackslash) {
  EXPECT_EQ(this->codec.decode("\x95\x5C\x5C"), U"表\\");
  EXPECT_EQ(this->codec.decode("\\"), U"\\");  // never a yen sign
}

TYPED_TEST_P(Cp932, InvalidBytesComeBackByteIdentical) {
  const std::string cases[] = {"\x80", "\xA0", "\xFD\xFE\xFF", "ab\x81", "\x81 x", "\x81\x7F",
                               "\x85\x40", std::string("\0\x82", 2)};
  for (const std::string& bytes : cases) {
    const Text text = this->codec.decode(bytes);
    const Encoded back = this->codec.encode(text);
    ASSERT_FALSE(back.failure);
    EXPECT_EQ(back.bytes, bytes);
  }
  EXPECT_EQ(this->codec.decode("ab\x81"), (Text{U'a', U'b', escapeOf(0x81)}));
}

// CP932 maps some characters from two byte sequences (NEC row 13 and the IBM
// extensions); a load and save must not swap one for the other.
TYPED_TEST_P(Cp932, DuplicateMappingsKeepTheirOwnBytes) {
  for (const std::string& bytes : {std::string("\x87\x90"), std::string("\x81\xE0"),
                                   std::string("\xED\x40"), std::string("\xFA\x5C")}) {
    EXPECT_EQ(this->codec.encode(this->codec.decode(bytes)).bytes, bytes);
  }
  EXPECT_EQ(this->codec.decode("\x81\xE0"), U"≒");
}

TYPED_TEST_P(Cp932, RandomBytesAlwaysRoundTrip) {
  std::mt19937 random(932);
  for (int n = 0; n < 3000; ++n) {
    std::string bytes(random() % 24, '\0');
    for (char& b : bytes) b = static_cast<char>(random() % 2 ? 0x81 + random() % 0x7C : random() % 256);
    const Encoded back = this->codec.encode(this->codec.decode(bytes));
    ASSERT_FALSE(back.failure);
    ASSERT_EQ(back.bytes, bytes);
  }
}

TYPED_TEST_P(Cp932, CharactersOutsideTheCodePageAreReportedNotReplaced) {
  const Encoded encoded = this->codec.encode(U"ok 郵便 é");
  ASSERT_TRUE(encoded.failure);
  EXPECT_EQ(encoded.failure->position, 6u);
  EXPECT_TRUE(this->codec.encode(U"😀").failure);
  EXPECT_TRUE(this->codec.encode(Text{char32_t{0xD800}}).failure);
}

REGISTER_TYPED_TEST_SUITE_P(Cp932,
                            JapanesePathsRoundTripWithBackslashes,
                            TrailByte5CIsNotABackslash,
                            InvalidBytesComeBackByteIdentical,
                            DuplicateMappingsKeepTheirOwnBytes,
                            RandomBytesAlwaysRoundTrip,
                            CharactersOutsideTheCodePageAreReportedNotReplaced);

}  // namespace velkorn::testing
