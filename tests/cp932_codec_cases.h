#pragma once

// What every platform's CP932 code page must do under the lossless codec: a
// typed test suite, instantiated by each platform's tests with its own
// CodePage class.

#include <gtest/gtest.h>

#include <random>

#include "schedule/codec.h"

namespace velkorn::testing {

template <typename PlatformCodePage>
struct Cp932 : ::testing::Test {
  PlatformCodePage codePage;
  Codec codec{codePage};
};
TYPED_TEST_SUITE_P(Cp932);

// Backslashes stay 0x5C, never a yen sign, also as 表's second byte; a
// character outside the code page, a yen sign among them, is reported.
TYPED_TEST_P(Cp932, EncodesJapanesePathsExactlyAndRefusesTheRest) {
  const Text path = U"C:\\画像\\郵便屋さん\\表示①≒ｱ.bmp";
  EXPECT_EQ(this->codec.encode(path).bytes.substr(18), "\\\x95\x5C\x8E\xA6\x87\x40\x81\xE0\xB1.bmp");
  EXPECT_EQ(this->codec.decode(this->codec.encode(path).bytes), path);
  EXPECT_EQ(this->codec.encode(U"ok 郵便 é").failure->position, 6u);
  EXPECT_TRUE(this->codec.encode(U"😀").failure && this->codec.encode(U"¥").failure);
}

// Invalid bytes, a lead byte cut off, and the second sequence of a character
// CP932 maps twice (NEC row 13 and the IBM extensions) come back as they were.
TYPED_TEST_P(Cp932, AnyBytesComeBackByteIdentical) {
  EXPECT_EQ(this->codec.decode("ab\x81"), (Text{U'a', U'b', escapeOf(0x81)}));
  std::vector<std::string> cases = {"\x80", "\xA0", "\xFD\xFE\xFF", "\x81 x", "\x81\x7F", "\x85\x40", "\x87\x90",
                                    "\xED\x40", "\xFA\x5C", std::string("\0\x82", 2)};
  std::mt19937 random(932);
  while (cases.size() < 3000) {
    std::string& bytes = cases.emplace_back(random() % 24, '\0');
    for (char& b : bytes) b = static_cast<char>(random() % 2 ? 0x81 + random() % 0x7C : random() % 256);
  }
  for (const std::string& bytes : cases) ASSERT_EQ(this->codec.encode(this->codec.decode(bytes)).bytes, bytes);
}

REGISTER_TYPED_TEST_SUITE_P(Cp932, EncodesJapanesePathsExactlyAndRefusesTheRest, AnyBytesComeBackByteIdentical);

}  // namespace velkorn::testing
