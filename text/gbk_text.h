// Byte-string helpers for text in the ANSI code page 936 (GBK).
//
// A text is a std::string of GBK bytes: ASCII is one byte, and a byte of 0x80
// or more starts a two-byte character. Every scan that must not split such a
// character (a trail byte may be 0x5C '\' or 0x20 ' ') goes through
// CharLength. A text may end in a lone lead byte (a truncated read, a
// hand-edited file): it then counts as a one-byte character and no helper
// reads past the end.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace text {

inline constexpr std::size_t npos = std::string_view::npos;

// The full-width space of code page 936.
inline constexpr std::string_view kFullWidthSpace = "\xA1\xA1";

inline constexpr bool IsLeadByte(char c) noexcept {
  return static_cast<unsigned char>(c) >= 0x80;
}

// Bytes of the character that starts at pos: 2 for a lead byte with a byte
// after it, else 1. pos must be inside s.
inline std::size_t CharLength(std::string_view s, std::size_t pos) noexcept {
  return (IsLeadByte(s[pos]) && pos + 1 < s.size()) ? 2 : 1;
}

// Removes ASCII spaces (0x20) and full-width spaces (A1 A1) from both ends,
// nothing else.
std::string Trim(std::string_view s);

// True when the text is empty after Trim.
bool IsBlank(std::string_view s) noexcept;

// Removes every ASCII and full-width space, wherever it stands.
std::string RemoveSpaces(std::string_view s);

// Position of the first occurrence of what that starts at a character
// boundary at or after from (which must itself be a boundary), or npos.
// An empty what is never found.
std::size_t Find(std::string_view s, std::string_view what, std::size_t from = 0) noexcept;

// Replaces every non-overlapping occurrence of what, found left to right at
// character boundaries; scanning resumes after each replaced occurrence.
std::string ReplaceAll(std::string_view s, std::string_view what, std::string_view with);

// Position of the last backslash that is a character of its own (not the
// trail byte of a two-byte character), or npos.
std::size_t LastBackslash(std::string_view s) noexcept;

// ASCII letters only; every other byte is left as it is.
std::string ToLowerAscii(std::string_view s);
std::string ToUpperAscii(std::string_view s);

// Plain decimal: an optional minus sign and digits.
std::string IntToText(long long value);

// "真" for true, "假" for false.
std::string FlagToText(bool value);

// Reads the text as a decimal real number: full-width characters A3 A1..A3 FE
// become ASCII 0x21..0x7E and A1 A1 a space first; then leading white space,
// an optional sign, digits with an optional decimal point and exponent, up to
// the first byte that cannot continue the number. No number gives 0.
double TextToNumber(std::string_view s);

// TextToNumber truncated toward zero, saturated to the range of int.
int TextToInt(std::string_view s);

}  // namespace text
