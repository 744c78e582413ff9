// How names are shown and matched: every name readable and told apart,
// patterns ignoring letter case.

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/text.h"
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

// Numbers past U+FFFF take five digits.
INSTANTIATE_TEST_SUITE_P(Planes, ReadableTextTest,
                         ::testing::Values(ShownRow{"A\U000E0041", "A‹U+E0041›"},
                                           ShownRow{"\U0001D173", "‹U+1D173›"}));

std::string Character(char32_t c) {
  char bytes[4];
  return {bytes, ravuvur::EncodeUtf8(c, bytes)};
}

// At both ends of each run of characters that draw nothing or turn the
// text around, and just outside them, where characters draw as usual.
TEST(ReadableTextTest, MarksExactlyTheCharactersThatDrawNothing) {
  std::vector<std::string> wrong;
  for (const char32_t c : std::initializer_list<char32_t>{
           0x00AD, 0x034F, 0x061C, 0x115F,  0x1160,  0x17B4,  0x17B5,  0x180B,  0x180F, 0x200B,
           0x200F, 0x2028, 0x202E, 0x2060,  0x2066,  0x206F,  0x3164,  0xFE00,  0xFE0F, 0xFEFF,
           0xFFA0, 0xFFF9, 0xFFFB, 0x1D173, 0x1D17A, 0xE0001, 0xE007F, 0xE0100, 0xE01EF}) {
    if (!screen::ReadableText(Character(c)).starts_with("‹U+")) wrong.push_back(Character(c));
  }
  for (const char32_t c : std::initializer_list<char32_t>{
           0x00AC, 0x00AE, 0x034E, 0x0350, 0x061B, 0x061D, 0x115E,  0x1161, 0x17B3, 0x17B6,
           0x180A, 0x1810, 0x200A, 0x2010, 0x2027, 0x202F, 0x205F,  0x2070, 0x3163, 0x3165,
           0xFDFF, 0xFE10, 0xFEFE, 0xFF9F, 0xFFA1, 0xFFFC, 0x1D172, 0x1D17B}) {
    if (screen::ReadableText(Character(c)) != Character(c)) wrong.push_back(Character(c));
  }
  EXPECT_TRUE(wrong.empty()) << screen::ReadableText(wrong.front());
}

struct WideRow {
  std::u16string name;
  std::string shown;
};

class WideReadableTextTest : public ::testing::TestWithParam<WideRow> {};

TEST_P(WideReadableTextTest, JoinsExactlyTheSurrogatePairs) {
  EXPECT_EQ(screen::ReadableText(GetParam().name), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Pairs, WideReadableTextTest,
                         ::testing::Values(WideRow{u"\xD800\xDC00", "\U00010000"},
                                           WideRow{u"\xDBFF\xDFFF", "\U0010FFFF"},
                                           WideRow{u"\xDC00\xD800", "‹U+DC00›‹U+D800›"},
                                           WideRow{u"\xD800\xE000", "‹U+D800›\uE000"}));

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
  EXPECT_EQ(pattern.Matches(ravuvur::CaseFolded(GetParam().name)), GetParam().matches);
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

// Stars at the end, a final ".*" after several dots, blanks and empty
// parts around the separators.
INSTANTIATE_TEST_SUITE_P(
    Edges, NamePatternTest,
    ::testing::Values(MatchRow{"A*", "a", true}, MatchRow{"A**", "a", true},
                      MatchRow{"A?", "a", false}, MatchRow{"*", "x", true},
                      MatchRow{"A.B.*", "a.b.c", true}, MatchRow{"A.*", "a.b.c", true},
                      MatchRow{"A.C.*", "a.b.c", false}, MatchRow{" *.DAT\t", "a.dat", true},
                      MatchRow{";*.CSV", "a.csv", true}, MatchRow{"*.DAT;", "a.dat", true},
                      MatchRow{"a.dat;;b.dat", "b.dat", true}, MatchRow{" ; ", "x", true},
                      // A byte that is not text is one character, and only itself.
                      MatchRow{"?.DAT", "\xe7.dat", true}, MatchRow{"ç.DAT", "\xe7.dat", false},
                      MatchRow{"Ç.DAT", "\xe7.dat", false}));

struct OrderRow {
  const char* first;
  const char* second;
};

class ShownBeforeTest : public ::testing::TestWithParam<OrderRow> {};

// Letter case aside first; names shown alike by their bytes, so the order
// never depends on the order the folder was read in.
TEST_P(ShownBeforeTest, OrdersNamesOneWayOnly) {
  const screen::FolderEntry first = screen::MakeEntry(screen::PathOf(GetParam().first));
  const screen::FolderEntry second = screen::MakeEntry(screen::PathOf(GetParam().second));
  EXPECT_EQ(std::pair(screen::ShownBefore(first, second), screen::ShownBefore(second, first)),
            std::pair(true, false));
}

// Letters sort as their small letters: "_" before them.
INSTANTIATE_TEST_SUITE_P(Names, ShownBeforeTest,
                         ::testing::Values(OrderRow{"a.dat", "B.DAT"}, OrderRow{"A.DAT", "a.dat"},
                                           OrderRow{"mov.dat", "MOV0612.DAT"},
                                           OrderRow{"MOV_1.DAT", "mova.dat"}));

// The key of the name `text` as the lists show it.
std::u32string Key(const std::string& text) { return screen::MakeEntry(screen::PathOf(text)).key; }

// Letters and their capitals fold alike; nothing else does. Checked against
// the engine's upper case, over Latin, Greek and Cyrillic and their
// neighbours (the unassigned U+03A2 among the Greek capitals too).
TEST(FoldedTest, FoldsOnlyCharactersWithTheSameCapitalTogether) {
  std::map<std::u32string, std::string> capitalOf;
  std::vector<std::string> wrong;
  for (char32_t c = 0x20; c < 0x600; ++c) {
    if (c == U'/' || c == U'\\') continue;  // separators, on Windows both: never in a name
    const std::string text = Character(c);
    const auto [at, fresh] = capitalOf.emplace(Key(text), ravuvur::UpperCase(text));
    if (!fresh && at->second != ravuvur::UpperCase(text)) wrong.push_back(text);
  }
  EXPECT_TRUE(wrong.empty()) << wrong.front();
}

// A pattern takes each letter for its capital and the other way round, for
// every letter the engine's upper case knows: "Ÿ*" lists "ÿ.dat", "σ*"
// lists "ς.dat", "µ*" lists "Μ.dat".
TEST(FoldedTest, PatternsTakeEachLetterForItsCapital) {
  std::vector<std::string> wrong;
  for (char32_t c = 0x20; c < 0x20000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const std::string text = Character(c);
    const std::string capital = ravuvur::UpperCase(text);
    if (capital == text) continue;
    if (!screen::NamePattern(capital + "*").Matches(Key(text + ".dat")) ||
        !screen::NamePattern(text + "*").Matches(Key(capital + ".dat"))) {
      wrong.push_back(text);
    }
  }
  EXPECT_TRUE(wrong.empty()) << wrong.front();
}

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

// Edges are rounded, not sizes: every control ends where its far edge in
// twips falls, at any scale (an X screen may have any number of dots per
// inch).
TEST(LayoutTest, EachControlEndsAtItsRoundedFarEdge) {
  std::vector<std::string> wrong;
  for (const int dpi : {96, 100, 110, 120, 130, 144, 168, 192, 240, 288}) {
    for (const screen::ControlPlace& control : screen::kControls) {
      const screen::PixelRect at = screen::ToPixels(control, dpi);
      if (at.left + at.width != screen::ToPixels(control.left + control.width, dpi) ||
          at.top + at.height != screen::ToPixels(control.top + control.height, dpi)) {
        wrong.push_back(std::string(control.name) + " at " + std::to_string(dpi));
      }
    }
  }
  EXPECT_TRUE(wrong.empty()) << wrong.front();
}

TEST(LayoutTest, ControlsTouchingInTwipsTouchInPixels) {
  // Label1 (360 + 255) overlaps txtConverte (600) by 15 twips: one pixel
  // at 96 and at 120 dots per inch alike.
  const auto label = screen::ToPixels(*screen::FindControl("Label1"), 120);
  const auto box = screen::ToPixels(*screen::FindControl("txtConverte"), 120);
  EXPECT_EQ(label.top + label.height - box.top, 1);
}

}  // namespace
