// GBK byte-string helpers. Literals here are GBK bytes at run time; "\x95\x5C"
// is a two-byte character whose trail byte is a backslash, "\x81\x20" one
// whose trail byte is a space, and a text ending in "\xB0" ends in a lone
// lead byte.
#include "text/gbk_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

constexpr std::size_t npos = text::npos;
const std::string kFull = "\xA1\xA1";  // full-width space

struct TrimCase {
  std::string in;
  std::string trimmed;
};

TEST(Trim, RemovesOnlyAsciiAndFullWidthSpacesAtBothEnds) {
  const TrimCase cases[] = {
      {"", ""},
      {"   ", ""},
      {kFull, ""},
      {" " + kFull + " a b " + kFull, "a b"},
      {"\tab\r\n", "\tab\r\n"},             // tabs and line breaks stay
      {"  版本  ", "版本"},
      {"\x81\x20", "\x81\x20"},            // trail byte 0x20 is not a space
      {"a\x81\x20 ", "a\x81\x20"},
      {"\xB0\xA1\xA1", "\xB0\xA1\xA1"},    // B0 A1 is a character, A1 alone follows
      {"\xB0\xA1\xA1\xA1", "\xB0\xA1"},    // ...then A1 A1 is a space
      {" \xB0", "\xB0"},                   // lone lead byte at the end is kept
      {"\xA1", "\xA1"},                    // half a full-width space is no space
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    EXPECT_EQ(text::Trim(cases[i].in), cases[i].trimmed);
    EXPECT_EQ(text::IsBlank(cases[i].in), cases[i].trimmed.empty());
  }
}

TEST(RemoveSpaces, RemovesEverySpaceButNotTrailBytes) {
  EXPECT_EQ(text::RemoveSpaces(" Sys " + kFull + "tem "), "System");
  EXPECT_EQ(text::RemoveSpaces("\x81\x20 x"), "\x81\x20x");
  EXPECT_EQ(text::RemoveSpaces("a\xB0"), "a\xB0");
}

struct FindCase {
  std::string s;
  std::string what;
  std::size_t from;
  std::size_t at;
};

TEST(Find, MatchesOnlyAtCharacterBoundaries) {
  const FindCase cases[] = {
      {"abcabc", "bc", 0, 1},
      {"abcabc", "bc", 2, 4},
      {"abc", "", 0, npos},
      {"\x95\x5C\\", "\\", 0, 2},          // the trail byte 5C is skipped
      {"\x95\x5C", "\\", 0, npos},
      {"\xB0\xA1\xA1", "\xA1\xA1", 0, npos},  // A1 A1 straddles two characters
      {"a\xB0", "\xB0", 0, 1},             // a lone lead byte is a character
      {"版本,a,", "a,", 0, 5},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    EXPECT_EQ(text::Find(cases[i].s, cases[i].what, cases[i].from), cases[i].at);
  }
}

struct ReplaceCase {
  std::string s, what, with, out;
};

TEST(ReplaceAll, ReplacesNonOverlappingOccurrencesLeftToRight) {
  const ReplaceCase cases[] = {
      {"a\r\nb\r\n", "\r\n", "{#换行符}", "a{#换行符}b{#换行符}"},
      {"aaa", "aa", "b", "ba"},
      {"x{#换行符}y", "{#换行符}", "\r\n", "x\r\ny"},
      {"\x95\x5C\\", "\\", "/", "\x95\x5C/"},
      {"\"q\"", "\"", "%22", "%22q%22"},
      {"", "a", "b", ""},
      {"abc", "", "x", "abc"},
      {"ab\xB0", "\xB0", "", "ab"},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    EXPECT_EQ(text::ReplaceAll(cases[i].s, cases[i].what, cases[i].with), cases[i].out);
  }
}

TEST(LastBackslash, IgnoresTrailBytes) {
  EXPECT_EQ(text::LastBackslash("Software\\Tencent\\WeChat\\InstallPath"), 23u);
  EXPECT_EQ(text::LastBackslash("a\\\x95\x5C"), 1u);
  EXPECT_EQ(text::LastBackslash("\x95\x5C"), npos);
  EXPECT_EQ(text::LastBackslash(""), npos);
  EXPECT_EQ(text::LastBackslash("a\\\xB0"), 1u);
}

TEST(Case, ConvertsAsciiLettersOnly) {
  EXPECT_EQ(text::ToUpperAscii("abz09\xC3\xA1版"), "ABZ09\xC3\xA1版");
  EXPECT_EQ(text::ToLowerAscii("ABZ\xC3\xC1"), "abz\xC3\xC1");
}

TEST(NumbersAsText, WriteDecimalAndFlags) {
  EXPECT_EQ(text::IntToText(0), "0");
  EXPECT_EQ(text::IntToText(-8), "-8");
  EXPECT_EQ(text::IntToText(1366), "1366");
  EXPECT_EQ(text::FlagToText(true), "真");
  EXPECT_EQ(text::FlagToText(false), "假");
}

struct NumberCase {
  std::string in;
  double number;
  int integer;
};

TEST(NumbersAsText, ReadDecimalRealNumbers) {
  const NumberCase cases[] = {
      {"", 0, 0},
      {"abc", 0, 0},
      {"12.9", 12.9, 12},
      {"-0.5", -0.5, 0},
      {"  \t-12", -12, -12},
      {"+7x", 7, 7},
      {"1e3", 1000, 1000},
      {"1e", 1, 1},            // an exponent without digits is not read
      {"1e+", 1, 1},
      {".5", 0.5, 0},
      {"5.", 5, 5},
      {".", 0, 0},
      {"-", 0, 0},
      {"0x1A", 0, 0},          // no hexadecimal
      {"inf", 0, 0},
      {"3 4", 3, 3},
      {"\xA3\xB1\xA3\xB2", 12, 12},          // full-width "12"
      {"\xA1\xA1\xA3\xAD\xA3\xB3", -3, -3},  // full-width space, minus, 3
      {"1\xB0", 1, 1},          // lone lead byte stops the number
      {"\xA3", 0, 0},
      {"99999999999", 99999999999.0, INT_MAX},
      {"-1e300", -1e300, INT_MIN},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i) + ": " + cases[i].in);
    EXPECT_DOUBLE_EQ(text::TextToNumber(cases[i].in), cases[i].number);
    EXPECT_EQ(text::TextToInt(cases[i].in), cases[i].integer);
  }
}

TEST(CharLength, NeverReachesPastTheEnd) {
  EXPECT_EQ(text::CharLength("\xB0", 0), 1u);
  EXPECT_EQ(text::CharLength("\xB0\xA1", 0), 2u);
  EXPECT_EQ(text::CharLength("a\xB0", 1), 1u);
}

}  // namespace
