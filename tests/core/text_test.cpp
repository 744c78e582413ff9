#include <gtest/gtest.h>

#include <clocale>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "core/text.h"

namespace ravuvur {
namespace {

TEST(Windows1252Test, ConvertsAccentsAndTheHighControlRange) {
  EXPECT_EQ(Windows1252ToUtf8("A\xE7\xE3o"), "Ação");
  EXPECT_EQ(Windows1252ToUtf8("\x80 \x8A \x9F \xFF"), "€ Š Ÿ ÿ");
  // Bytes the code page leaves undefined keep their number.
  EXPECT_EQ(Windows1252ToUtf8("\x81"), "\xC2\x81");
  EXPECT_EQ(Windows1252ToUtf8(std::string_view("a\0b", 3)), std::string_view("a\0b", 3));
}

TEST(Windows1252Test, MapsTheBytesEitherSideOfTheHighControlRange) {
  EXPECT_EQ(Windows1252ToUtf8("\x7F\xA0"), "\x7F\u00A0");
}

TEST(Windows1252Test, MapsEveryByteOfTheHighControlRange) {
  std::string bytes;
  for (int b = 0x80; b <= 0x9F; ++b) bytes += static_cast<char>(b);
  EXPECT_EQ(Windows1252ToUtf8(bytes), "€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ");
}

TEST(UpperCaseTest, UpperCasesLatinLettersWhateverTheLocale) {
  EXPECT_EQ(UpperCase("c:\\dados\\mov0612.dat"), "C:\\DADOS\\MOV0612.DAT");
  EXPECT_EQ(UpperCase("ação éàüñ ÿ œ š ž ƒ"), "AÇÃO ÉÀÜÑ Ÿ Œ Š Ž Ƒ");
  EXPECT_EQ(UpperCase("ß ÷ ŉ 1-2_3"), "ß ÷ ŉ 1-2_3");  // no single-letter upper case
  EXPECT_EQ(UpperCase("ı"), "I");
}

TEST(UpperCaseTest, OtherScriptsFollowOneRuleWhateverTheLocale) {
  // The test program runs under the C locale, where the C library would
  // leave all of these alone.
  EXPECT_EQ(UpperCase("δεδομένα µ ᾳ"), "ΔΕΔΟΜΈΝΑ Μ ᾼ");
  EXPECT_EQ(UpperCase("данные ǆ ａ"), "ДАННЫЕ Ǆ Ａ");
  EXPECT_EQ(UpperCase("\U00010428"), "\U00010400");  // Deseret, beyond sixteen bits
}

// The first and last pair of each Latin Extended-A run, and the letters
// just outside the runs that have no single-letter upper case, under
// both the C locale and a UTF-8 one: the name of the CSV must not depend
// on where the program runs.
TEST(UpperCaseTest, LatinExtendedARunsFromFirstToLastLetter) {
  for (const char* locale : {"C", "C.UTF-8"}) {
    if (std::setlocale(LC_ALL, locale) == nullptr) continue;
    SCOPED_TRACE(locale);
    EXPECT_EQ(UpperCase("āĀ ăĂ ķĶ ĸ ĺĹ ňŇ ŉ ŋŊ ŷŶ Ÿ źŹ žŽ"), "ĀĀ ĂĂ ĶĶ ĸ ĹĹ ŇŇ ŉ ŊŊ ŶŶ Ÿ ŹŹ ŽŽ");
  }
  std::setlocale(LC_ALL, "C");
}

// Characters either side of each UTF-8 length boundary, and sequences just
// past what is valid: the valid ones are one character each and come back
// from upper casing byte for byte; the others count byte by byte and are
// quoted in the log.
struct Utf8Case {
  const char* bytes;
  std::size_t characters;
  bool valid;
};

class Utf8BoundaryTest : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8BoundaryTest, DecodesExactlyTheValidSequences) {
  const std::string_view bytes = GetParam().bytes;
  EXPECT_EQ(CharacterCount(bytes), GetParam().characters);
  EXPECT_EQ(UpperCase(bytes), bytes);
  EXPECT_EQ(ShownInLog(bytes) == bytes, GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, Utf8BoundaryTest,
    ::testing::Values(Utf8Case{"\xDF\xBF", 1, true},             // U+07FF
                      Utf8Case{"\xE0\xA0\x80", 1, true},         // U+0800
                      Utf8Case{"\xEF\xBF\xBF", 1, true},         // U+FFFF
                      Utf8Case{"\xF0\x90\x80\x80", 1, true},     // U+10000
                      Utf8Case{"\xF4\x8F\xBF\xBF", 1, true},     // U+10FFFF
                      Utf8Case{"\xF4\x90\x80\x80", 4, false},    // past U+10FFFF
                      Utf8Case{"\xE0\x9F\xBF", 3, false},        // U+07FF in three bytes
                      Utf8Case{"\xF0\x8F\xBF\xBF", 4, false},    // U+FFFF in four bytes
                      Utf8Case{"\xED\xA0\x80", 3, false},        // a surrogate
                      Utf8Case{"\xF8\x90\x80\x80", 4, false}));  // F8 leads nothing

// Either side of each length boundary, and past the last character,
// which has no UTF-8 form.
struct EncodeCase {
  char32_t cp;
  const char* bytes;
};

class EncodeUtf8Test : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeUtf8Test, WritesTheShortestForm) {
  char out[4];
  EXPECT_EQ(std::string(out, EncodeUtf8(GetParam().cp, out)), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, EncodeUtf8Test,
                         ::testing::Values(EncodeCase{0x7F, "\x7F"}, EncodeCase{0x80, "\xC2\x80"},
                                           EncodeCase{0x7FF, "\xDF\xBF"},
                                           EncodeCase{0x800, "\xE0\xA0\x80"},
                                           EncodeCase{0xFFFF, "\xEF\xBF\xBF"},
                                           EncodeCase{0x10000, "\xF0\x90\x80\x80"},
                                           EncodeCase{0x10FFFF, "\xF4\x8F\xBF\xBF"},
                                           EncodeCase{0x110000, ""}, EncodeCase{0x7FFFFFFF, ""}));

// Every character, surrogates aside, encodes to a sequence the decoder
// reads back as one character of that length.
TEST(EncodeUtf8Test, EveryCharacterReadsBackAsOne) {
  std::vector<char32_t> wrong;
  for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    char out[4];
    const std::string_view text(out, EncodeUtf8(cp, out));
    if (text.empty() || CharacterCount(text) != 1 || PrefixBytes(text, 1) != text.size()) {
      wrong.push_back(cp);
    }
  }
  EXPECT_TRUE(wrong.empty()) << std::hex << static_cast<unsigned>(wrong.front());
}

// Either side of the surrogates, which UTF-8 leaves out.
INSTANTIATE_TEST_SUITE_P(Surrogates, Utf8BoundaryTest,
                         ::testing::Values(Utf8Case{"\xED\x9F\xBF", 1, true},    // U+D7FF
                                           Utf8Case{"\xED\xBF\xBF", 3, false},   // U+DFFF
                                           Utf8Case{"\xEE\x80\x80", 1, true}));  // U+E000

// A sequence cut short by the end of the text is not completed by the
// bytes that follow it in memory.
TEST(CharacterCountTest, StopsAtTheEndOfTheText) {
  const std::string_view whole = "\xE0\xA0\x80\xF0\x90\x80\x80";
  EXPECT_EQ(CharacterCount(whole.substr(0, 2)), 2u);
  EXPECT_EQ(CharacterCount(whole.substr(3, 3)), 3u);
}

TEST(UpperCaseTest, KeepsCharactersBeyondSixteenBits) {
  EXPECT_EQ(UpperCase("\U0001D4B6 \U0001F600"), "\U0001D4B6 \U0001F600");  // 𝒶, an emoji: no case
}

TEST(UpperCaseTest, PassesInvalidBytesThrough) {
  EXPECT_EQ(UpperCase("mov\xE7.dat"), "MOV\xE7.DAT");  // a Latin-1 byte, not UTF-8
  EXPECT_EQ(UpperCase("a\xC3"), "A\xC3");              // cut sequence
  EXPECT_EQ(UpperCase("\xC0\xAF"
                      "a"),
            "\xC0\xAF"
            "A");  // overlong
}

// Two characters fold alike exactly when UpperCase gives them one capital:
// each folds as its capital does, to a character with that capital. Over
// the two planes that hold every character with a case.
TEST(CaseFoldedTest, FoldsAlikeExactlyTheCharactersWithOneCapital) {
  const auto text = [](char32_t c) {
    char bytes[4];
    return std::string(bytes, EncodeUtf8(c, bytes));
  };
  std::vector<std::string> wrong;
  for (char32_t c = 0; c < 0x20000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const std::u32string folded = CaseFolded(text(c));
    const std::string capital = UpperCase(text(c));
    if (folded.size() != 1 || folded != CaseFolded(capital) ||
        UpperCase(text(folded[0])) != capital) {
      wrong.push_back(text(c));
    }
  }
  EXPECT_TRUE(wrong.empty()) << wrong.front();
}

// Folded to small letters, so that folded names sort as their small
// letters do ("_" before the letters); the capital itself where its small
// letter has another capital (İ, whose i is I's).
TEST(CaseFoldedTest, FoldsToTheSmallLetter) {
  EXPECT_EQ(CaseFolded("AZ_ÀÞŸΣςΆµЀЯѠİ\u212A"), U"az_àþÿσσάμѐяѡİ\u212A");
}

TEST(CharacterCountTest, CountsCharactersNotBytes) {
  EXPECT_EQ(CharacterCount(""), 0u);
  EXPECT_EQ(CharacterCount("ação"), 4u);
  EXPECT_EQ(CharacterCount("a\xFF"
                           "b"),
            3u);
  EXPECT_EQ(PrefixBytes("ação.dat", 4), 6u);
  EXPECT_EQ(PrefixBytes("ab", 5), 2u);
}

TEST(ShownInLogTest, OrdinaryTextIsShownAsItIs) {
  for (const char* text : {"", "/dados/mov0612.dat", "C:\\Movimentação\\it's a b.dat", "00012"}) {
    EXPECT_EQ(ShownInLog(text), text);
  }
}

// Each kind of character that breaks a line or turns or hides text, at
// both ends of its run, is quoted; the characters just outside are not.
TEST(ShownInLogTest, QuotesExactlyTheCharactersThatMoveOrHideText) {
  const auto text = [](char32_t c) {
    char bytes[4];
    return std::string(bytes, EncodeUtf8(c, bytes));
  };
  std::vector<std::string> wrong;
  for (const char32_t c : std::initializer_list<char32_t>{
           0x00AD, 0x061C, 0x180E, 0x200B, 0x200F, 0x2028, 0x202E, 0x2060, 0x2064, 0x2066, 0x206F,
           0xFEFF, 0xFFF9, 0xFFFB, 0xE0001, 0xE0020, 0xE007F}) {
    if (ShownInLog(text(c)) == text(c)) wrong.push_back(text(c));
  }
  for (const char32_t c : std::initializer_list<char32_t>{
           0x00AC, 0x00AE, 0x061B, 0x061D, 0x180D, 0x180F, 0x200A,  0x2010,  0x2027,  0x202F,
           0x205F, 0x2065, 0x2070, 0xFEFE, 0xFFF8, 0xFFFC, 0xE0000, 0xE0002, 0xE001F, 0xE0080}) {
    if (ShownInLog(text(c)) != text(c)) wrong.push_back(text(c));
  }
  EXPECT_TRUE(wrong.empty()) << ShownInLog(wrong.front());
}

TEST(ShownInLogTest, ControlCharactersAndBytesThatAreNotTextAreQuoted) {
  const std::pair<std::string, std::string> cases[] = {
      {"a\nb", "'a'$'\\n''b'"},
      {"\x1b[2J", "$'\\033''[2J'"},
      {"\x7f\t", "$'\\177\\t'"},
      {"a\xc2\x85", "'a'$'\\302\\205'"},  // C1: next line
      {"mov\xe7.dat", "'mov'$'\\347''.dat'"},
      {"it's\r", "'it'\\''s'$'\\r'"},
      // Characters that break a line or reorder or hide text for a reader
      // that knows Unicode: line separator, right-to-left override, byte
      // order mark, a tag.
      {"a\u2028b", "'a'$'\\342\\200\\250''b'"},
      {"\u202Etxt.dat", "$'\\342\\200\\256''txt.dat'"},
      {"\uFEFF\U000E0041", "$'\\357\\273\\277\\363\\240\\201\\201'"},
      {"\a\b\v\f", "$'\\a\\b\\v\\f'"},
      {"\x1f ", "$'\\037'' '"},
      {"\xc2\x9f\xc2\xa0", "$'\\302\\237''\xc2\xa0'"},  // last C1, then a no-break space
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(ShownInLog(text), shown);
}

}  // namespace
}  // namespace ravuvur
