#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text helpers shared by the engine. Movement files are single-byte
// Windows-1252; paths and log lines are UTF-8.
namespace ravuvur {

// Windows-1252 bytes to UTF-8. The five bytes the code page leaves
// undefined (81, 8D, 8F, 90, 9D) map to the control characters of the same
// number, as the platform's own conversion does.
std::string Windows1252ToUtf8(std::string_view text);

// Writes the UTF-8 form of `cp` to `out` (room for 4 bytes); returns its
// length, 0 for a value past U+10FFFF.
std::size_t EncodeUtf8(char32_t cp, char* out) noexcept;

// Number of characters of a UTF-8 text; a byte that is not part of a valid
// sequence counts as one character.
std::size_t CharacterCount(std::string_view utf8) noexcept;

// Byte length of the first `characters` characters of a UTF-8 text.
std::size_t PrefixBytes(std::string_view utf8, std::size_t characters) noexcept;

// Upper case by Unicode's simple upper-case mapping (one code point for
// one, so "ß" stays), the same whatever the locale or platform: one input
// always gives one CSV name. Invalid bytes pass through unchanged.
std::string UpperCase(std::string_view utf8);

// The characters of a UTF-8 text folded for comparing without letter
// case, one value each: two characters fold alike exactly when UpperCase
// gives them the same capital ("ÿ" and "Ÿ", "µ" and "Μ", "σ", "ς" and
// "Σ", "ı", "i" and "I"), each to that capital's small letter where it has
// one, so that folded texts sort as their small letters would. A byte that
// is not part of a valid sequence becomes 0x110000 plus its value, which
// no character has, so that it equals only itself.
std::u32string CaseFolded(std::string_view utf8);

// Whether the log shows `cp` escaped (see ShownInLog): a control character
// (C0, DEL, C1) or one of Unicode's Zl, Zp and Cf.
bool IsShownEscaped(char32_t cp) noexcept;

// A value as the log shows it: exactly as it is when it is valid UTF-8
// without control characters (C0, DEL, C1) or characters that separate
// lines or reorder or hide text (Unicode's Zl, Zp and Cf: U+2028, bidi
// overrides, zero-width characters, tags), which is every ordinary path
// and header field. Otherwise quoted the way `ls` shows an awkward file
// name, which a POSIX shell reads back as the same bytes: ordinary runs
// between single quotes, every other byte as $'\n', $'\t' or $'\ooo' in
// octal. So a name can neither break a log line in two nor send the
// terminal an escape sequence: "a<LF>b" shows as 'a'$'\n''b'.
std::string ShownInLog(std::string_view utf8);

}  // namespace ravuvur
