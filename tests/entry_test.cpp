#include "schedule/entry.h"

#include <gtest/gtest.h>

#include <random>

#include "schedule/codec.h"
#include "tests/fakes.h"

namespace velkorn {
namespace {

const DayKey kChristmasEve = dayKeyOf({2026, 12, 24});

struct DueCase {
  const char32_t* line;
  bool due;
};

class DueRule : public ::testing::TestWithParam<DueCase> {};

TEST_P(DueRule, OnChristmasEve) {
  EXPECT_EQ(isDue(GetParam().line, kChristmasEve), GetParam().due);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DueRule,
    ::testing::Values(DueCase{U"12/24 P x.bmp", true}, DueCase{U"12/24 P", true},
                      DueCase{U"12-24 P x.bmp", true}, DueCase{U"12/24", true},
                      DueCase{U"00/00 W x.bmp", true}, DueCase{U"00-00", true},
                      DueCase{U"12／24 P 絵.bmp", true}, DueCase{U"00/24 P x.bmp", false},
                      DueCase{U"12/00 P x.bmp", false}, DueCase{U"1/5 P x.bmp", false},
                      DueCase{U"12/2", false}, DueCase{U"", false},
                      DueCase{U"#12/24 P x.bmp", false}, DueCase{U"#0/00 P x.bmp", false},
                      DueCase{U" #12/24 P x.bmp", false}, DueCase{U"１２/24 P x.bmp", false},
                      DueCase{U"12/25 P x.bmp", false}, DueCase{U"11/24 P x.bmp", false}));

TEST(DayKey, HasTwoDigitsWithALeadingZero) {
  const DayKey key = dayKeyOf({2003, 3, 7});
  EXPECT_EQ(std::string(key.month.begin(), key.month.end()), "03");
  EXPECT_EQ(std::string(key.day.begin(), key.day.end()), "07");
  const auto field = dateFieldOf({2002, 12, 3});
  EXPECT_EQ(std::string(field.begin(), field.end()), "12/03");
}

TEST(Fields, KindIsCharacterSevenUpperCasedAndPathIsVerbatim) {
  EXPECT_EQ(kindOf(U"12/24 p a"), ImageKind::Figure);
  EXPECT_EQ(kindOf(U"12/24 R a"), ImageKind::ReadButton);
  EXPECT_EQ(kindOf(U"12/24 w a"), ImageKind::WriteButton);
  EXPECT_EQ(kindOf(U"12/24 X a"), std::nullopt);
  EXPECT_EQ(kindOf(U"12/24 ｐ a"), std::nullopt);  // full-width letters stay unknown
  EXPECT_EQ(kindOf(U"12/24 "), std::nullopt);
  EXPECT_EQ(pathOf(U"12/24 P  C:\\my pics\\a.bmp  "), U" C:\\my pics\\a.bmp  ");
  EXPECT_EQ(pathOf(U"12/24 P "), U"");
  EXPECT_EQ(pathOf(U"12/24 P"), U"");
}

TEST(Compose, JoinsFieldsWithSingleSpacesAndExaminesNothing) {
  EXPECT_EQ(composeEntry(U"03/03", U'R', U"C:\\a.bmp"), U"03/03 R C:\\a.bmp");
  EXPECT_EQ(composeEntry(kEveryDayField, U'P', U" spaced "), U"00/00 P  spaced ");
}

TEST(KindTable, LabelsLettersAndValuesAgree) {
  EXPECT_EQ(kindFromLabel(U"郵便屋さん"), ImageKind::Figure);
  EXPECT_EQ(kindFromLabel(U"読む？"), ImageKind::ReadButton);
  EXPECT_EQ(kindFromLabel(U"書くの？"), ImageKind::WriteButton);
  EXPECT_EQ(kindFromLabel(U"読む?"), std::nullopt);
  EXPECT_EQ(kindFromLabel(U""), std::nullopt);
  EXPECT_EQ(infoOf(ImageKind::Figure).valueName, "velkornBitmap");
  EXPECT_EQ(infoOf(ImageKind::ReadButton).valueName, "readButtonBitmap");
  EXPECT_EQ(infoOf(ImageKind::WriteButton).valueName, "compositeButtonBitmap");
}

// The scheduler skips decoding lines that fail mayBeDue, so it must never
// reject a line that would be due once decoded.
TEST(MayBeDue, NeverRejectsADueLine) {
  testing::FakeCodePage codePage;
  const Codec codec(codePage);
  const std::string alphabet[] = {"0", "1", "2", "4", "/", " ", "#", "P", "\x81\x5E", "\x95\x5C",
                                  "\x81", "\xFF", "\r"};
  std::mt19937 random(7);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(alphabet) - 1);
  const DayKey days[] = {dayKeyOf({2026, 12, 24}), dayKeyOf({2026, 1, 2}), dayKeyOf({2026, 10, 10})};
  int due = 0;
  for (int n = 0; n < 200000; ++n) {
    std::string raw;
    const int length = static_cast<int>(random() % 9);
    // Bias towards plausible prefixes so that due lines actually occur.
    if (random() % 2) raw = (random() % 2) ? "12" : "00";
    for (int k = 0; k < length; ++k) raw += alphabet[pick(random)];
    const Text line = codec.decode(raw);
    for (const DayKey& day : days) {
      if (isDue(line, day)) {
        ++due;
        ASSERT_TRUE(mayBeDue(raw, day)) << raw;
      }
    }
  }
  EXPECT_GT(due, 500);
}

}  // namespace
}  // namespace velkorn
