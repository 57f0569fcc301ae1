#include "schedule/entry.h"

#include <gtest/gtest.h>

#include <random>

#include "schedule/codec.h"
#include "tests/fakes.h"

namespace velkorn {
namespace {

TEST(DueRule, ComparesTheFieldsByCharacterPosition) {
  struct Case {
    const char32_t* line;
    int month, day;
    bool due;
  };
  const Case cases[] = {
      {U"12/24 P x.bmp", 12, 24, true},   {U"12/24 P", 12, 24, true},
      {U"12-24 P x.bmp", 12, 24, true},   {U"12/24", 12, 24, true},
      {U"12／24 P 絵.bmp", 12, 24, true},  // a double-byte separator is one character
      {U"00/00 W x.bmp", 3, 3, true},     {U"00-00", 10, 31, true},
      {U"10/31 R x", 10, 31, true},       {U"11/20 R x", 11, 20, true},
      {U"10/10 R x", 10, 10, true},       {U"01/21 R x", 1, 21, true},
      {U"02/30 R x", 2, 30, true},        {U"11/20 R x", 11, 21, false},
      {U"10/31 R x", 10, 30, false},      {U"12/24 P x.bmp", 11, 24, false},
      {U"12/24 P x.bmp", 12, 25, false},  {U"00/24 P x.bmp", 12, 24, false},
      {U"12/00 P x.bmp", 12, 24, false},  {U"1/5 P x.bmp", 1, 5, false},
      {U"12/2", 12, 2, false},            {U"", 12, 24, false},
      {U"#12/24 P x.bmp", 12, 24, false}, {U" #12/24 P x.bmp", 12, 24, false},
      {U"１２/24 P x.bmp", 12, 24, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(isDue(c.line, dayKeyOf({2026, c.month, c.day})), c.due)
        << toUtf8(c.line) << " on " << c.month << "/" << c.day;
  }
  const auto field = dateFieldOf({2026, 10, 31});
  EXPECT_EQ(std::string(field.begin(), field.end()), "10/31");
}

TEST(Fields, KindIsCharacterSevenUpperCasedAndPathIsTheRestVerbatim) {
  EXPECT_EQ(kindOf(U"12/24 p a"), ImageKind::Figure);
  EXPECT_EQ(kindOf(U"12/24 R a"), ImageKind::ReadButton);
  EXPECT_EQ(kindOf(U"12/24 w a"), ImageKind::WriteButton);
  EXPECT_EQ(kindOf(U"12/24 X a"), std::nullopt);
  EXPECT_EQ(kindOf(U"12/24 ｐ a"), std::nullopt);  // a full-width letter is no kind
  // Six characters: the seventh, just past the line's end, is not its kind.
  EXPECT_EQ(kindOf(TextView(U"12/24 P").substr(0, 6)), std::nullopt);
  EXPECT_EQ(pathOf(U"12/24 P  C:\\my pics\\a.bmp  "), U" C:\\my pics\\a.bmp  ");
  EXPECT_EQ(pathOf(U"12/24 P"), U"");
  EXPECT_EQ(composeEntry(U"03/03", U'R', U" C:\\a.bmp"), U"03/03 R  C:\\a.bmp");
  EXPECT_TRUE(isComment(U"#"));
  EXPECT_FALSE(isComment(U" #"));
}

// The scheduler skips decoding lines that fail mayBeDue, so it must never
// reject a line that would be due once decoded.
TEST(MayBeDue, NeverRejectsADueLine) {
  testing::FakeCodePage codePage;
  const Codec codec(codePage);
  const std::string alphabet[] = {"0", "1", "2", "4", "/", " ", "#", "P", "\x81\x5E", "\x95\x5C", "\x81", "\xFF"};
  std::mt19937 random(7);
  const DayKey days[] = {dayKeyOf({2026, 12, 24}), dayKeyOf({2026, 1, 2}), dayKeyOf({2026, 10, 10})};
  int due = 0;
  for (int n = 0; n < 100000; ++n) {
    // Biased towards plausible months so that due lines actually occur.
    std::string raw = random() % 2 ? "" : (random() % 2 ? "12" : "00");
    for (auto k = random() % 9; k > 0; --k) raw += alphabet[random() % std::size(alphabet)];
    const Text line = codec.decode(raw);
    for (const DayKey& day : days) {
      if (!isDue(line, day)) continue;
      ++due;
      ASSERT_TRUE(mayBeDue(raw, day)) << raw;
    }
  }
  EXPECT_GT(due, 500);
  // And it does reject: most lines are never decoded.
  EXPECT_FALSE(mayBeDue("12/25 P x", days[0]));
  EXPECT_FALSE(mayBeDue("11/24 P x", days[0]));
  EXPECT_FALSE(mayBeDue("00/24 P x", days[0]));
}

}  // namespace
}  // namespace velkorn
