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

TYPED_TEST_P(Cp932, JapanesePathsKeepTheirBackslashesAndTheirBytes) {
  const Text path = U"C:\\画像\\郵便屋さん\\表示①≒.bmp";
  const Encoded encoded = this->codec.encode(path);
  ASSERT_FALSE(encoded.failure);
  // 0x5C is a backslash, never a yen sign, also as 表's second byte.
  EXPECT_EQ(encoded.bytes.substr(0, 3), "C:\\");
  EXPECT_NE(encoded.bytes.find("\x95\x5C\x8E\xA6\x87\x40\x81\xE0"), std::string::npos);
  EXPECT_EQ(this->codec.decode(encoded.bytes), path);
  EXPECT_EQ(this->codec.decode("ab\x81"), (Text{U'a', U'b', escapeOf(0x81)}));
}

// Invalid bytes, and the second sequence of a character CP932 maps twice
// (NEC row 13 and the IBM extensions), come back as they were.
TYPED_TEST_P(Cp932, AnyBytesComeBackByteIdentical) {
  std::vector<std::string> cases = {"\x80",     "\xA0",     "\xFD\xFE\xFF", "\x81 x",
                                    "\x81\x7F", "\x85\x40", "\x87\x90",     "\xED\x40",
                                    "\xFA\x5C", std::string("\0\x82", 2)};
  std::mt19937 random(932);
  for (int n = 0; n < 3000; ++n) {
    std::string& bytes = cases.emplace_back(random() % 24, '\0');
    for (char& b : bytes) b = static_cast<char>(random() % 2 ? 0x81 + random() % 0x7C : random() % 256);
  }
  for (const std::string& bytes : cases) {
    const Encoded back = this->codec.encode(this->codec.decode(bytes));
    ASSERT_FALSE(back.failure);
    ASSERT_EQ(back.bytes, bytes);
  }
}

TYPED_TEST_P(Cp932, CharactersOutsideTheCodePageAreReportedNotReplaced) {
  EXPECT_EQ(this->codec.encode(U"ok 郵便 é").failure->position, 6u);
  EXPECT_TRUE(this->codec.encode(U"😀").failure);
  EXPECT_TRUE(this->codec.encode(U"¥").failure);  // nor is a yen sign made a backslash
}

REGISTER_TYPED_TEST_SUITE_P(Cp932, JapanesePathsKeepTheirBackslashesAndTheirBytes, AnyBytesComeBackByteIdentical,
                            CharactersOutsideTheCodePageAreReportedNotReplaced);

}  // namespace velkorn::testing
