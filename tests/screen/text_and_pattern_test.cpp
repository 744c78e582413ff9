// How names are shown and matched: every name readable and told apart,
// patterns ignoring letter case.

#include <gtest/gtest.h>

#include <string>

#include "screen/folder.h"
#include "screen/layout.h"
#include "screen/pattern.h"
#include "screen/readable_text.h"

namespace {

struct ShownRow {
  std::string name;
  std::string shown;
};

class ReadableTextTest : public ::testing::TestWithParam<ShownRow> {};

TEST_P(ReadableTextTest, ShowsWhatDrawsNothingVisibly) {
  EXPECT_EQ(screen::ReadableText(GetParam().name), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ReadableTextTest,
    ::testing::Values(ShownRow{"Diretórios MOV0612.DAT", "Diretórios MOV0612.DAT"},
                      ShownRow{"mov\xe7\xe3o.dat", "mov‹E7›‹E3›o.dat"},
                      ShownRow{"mov\xe7o.dat", "mov‹E7›o.dat"},
                      ShownRow{"A\u202eTAD.CSV", "A‹U+202E›TAD.CSV"},
                      ShownRow{"A\u2068B\u2069", "A‹U+2068›B‹U+2069›"},
                      ShownRow{"A\u200bB", "A‹U+200B›B"},
                      ShownRow{"A\u2028B\nC", "A‹U+2028›B‹U+000A›C"},
                      ShownRow{"A‹E7›", "A‹U+2039›E7›"}, ShownRow{"\xed\xa0\x80", "‹ED›‹A0›‹80›"}));

TEST(ReadableTextTest, ShowsALoneSurrogateOfAWideName) {
  EXPECT_EQ(screen::ReadableText(std::u16string(u"A\xD800"
                                                u"B")),
            "A‹U+D800›B");
}

struct MatchRow {
  std::string pattern;
  std::string name;
  bool matches;
};

class NamePatternTest : public ::testing::TestWithParam<MatchRow> {};

TEST_P(NamePatternTest, MatchesIgnoringCase) {
  const screen::NamePattern pattern(GetParam().pattern);
  EXPECT_EQ(pattern.Matches(screen::Folded(GetParam().name)), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, NamePatternTest,
    ::testing::Values(MatchRow{"*.DAT", "mov0612.dat", true}, MatchRow{"*.dat", "MOV.DAT", true},
                      MatchRow{"*.DAT", "MOV.DAT.CSV", false}, MatchRow{"*.*", "README", true},
                      MatchRow{"MOV*.*", "MOV0612", true}, MatchRow{"MOV*.*", "XMOV.DAT", false},
                      MatchRow{"M?V.DAT", "MOV.DAT", true}, MatchRow{"M?V.DAT", "MV.DAT", false},
                      MatchRow{"*.DAT; *.CSV", "a.csv", true},
                      MatchRow{"*.DAT;*.CSV", "a.txt", false}, MatchRow{"", "anything", true},
                      MatchRow{"[a].DAT", "[A].dat", true}, MatchRow{"[a].DAT", "a.DAT", false},
                      MatchRow{"ÇÃO*", "ção.dat", true}, MatchRow{"*a*b*c", "xaxbxbxc", true},
                      MatchRow{"*a*b*c", "xaxbxcx", false}));

TEST(LayoutTest, TwipsBecomePixelsAtTheScreensDpi) {
  const screen::ControlPlace* list = screen::FindControl("lstResultado");
  ASSERT_NE(list, nullptr);
  const screen::PixelRect at96 = screen::ToPixels(*list, 96);
  EXPECT_EQ((std::array{at96.left, at96.top, at96.width, at96.height}),
            (std::array{16, 296, 705, 198}));
  const screen::PixelRect at144 = screen::ToPixels(*list, 144);
  EXPECT_EQ((std::array{at144.left, at144.top, at144.width, at144.height}),
            (std::array{24, 444, 1058, 297}));
}

TEST(LayoutTest, ControlsTouchingInTwipsTouchInPixels) {
  // Label1 (360 + 255) overlaps txtConverte (600) by 15 twips: one pixel
  // at 96 and at 120 dots per inch alike.
  const auto label = screen::ToPixels(*screen::FindControl("Label1"), 120);
  const auto box = screen::ToPixels(*screen::FindControl("txtConverte"), 120);
  EXPECT_EQ(label.top + label.height - box.top, 1);
}

}  // namespace
