#include "platform/win32/ansi_code_page.h"

#include <windows.h>

#include "tests/cp932_codec_cases.h"

namespace velkorn::testing {

// The tests run under a Japanese locale; on another ANSI code page every
// case below would test the wrong thing.
TEST(SystemCodePage, IsShiftJis) { ASSERT_EQ(GetACP(), 932u); }

INSTANTIATE_TYPED_TEST_SUITE_P(Ansi, Cp932, win32::AnsiCodePage);

TEST(AnsiCodePage, ConvertsUpToTheFirstThingItCannotConvertExactly) {
  const win32::AnsiCodePage codePage;
  Text text;
  EXPECT_EQ(codePage.decodePrefix("ab\x95\x5C\x81", text), 4u);  // a lead byte without its trail
  EXPECT_EQ(text, U"ab表");
  Bytes bytes;
  EXPECT_EQ(codePage.encodePrefix(U"表é", bytes), 1u);  // no best fit: é never becomes "e"
  EXPECT_EQ(bytes, "\x95\x5C");
  bytes.clear();
  EXPECT_EQ(codePage.encodePrefix(U"¥", bytes), 0u);  // nor the yen sign a backslash
}

}  // namespace velkorn::testing
