#include <gtest/gtest.h>

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
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(ShownInLog(text), shown);
}

}  // namespace
}  // namespace ravuvur
