#include "text/gbk_text.h"

#include <climits>
#include <cmath>
#include <cstdlib>

namespace text {
namespace {

// Length of the space character at pos (1 or 2), or 0 when there is none.
std::size_t SpaceAt(std::string_view s, std::size_t pos) noexcept {
  if (s[pos] == ' ') return 1;
  if (s.substr(pos, 2) == kFullWidthSpace) return 2;
  return 0;
}

bool IsCSpace(char c) noexcept {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }

// Full-width ASCII forms (A3 A1..A3 FE) to ASCII, A1 A1 to a space; other
// characters are copied whole.
std::string HalfWidth(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = CharLength(s, i);
    const unsigned char lead = static_cast<unsigned char>(s[i]);
    const unsigned char trail = n == 2 ? static_cast<unsigned char>(s[i + 1]) : 0;
    if (n == 2 && lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
      out += static_cast<char>(trail - 0x80);
    } else if (n == 2 && lead == 0xA1 && trail == 0xA1) {
      out += ' ';
    } else {
      out.append(s.substr(i, n));
    }
    i += n;
  }
  return out;
}

}  // namespace

std::string Trim(std::string_view s) {
  std::size_t begin = 0;
  while (begin < s.size()) {
    const std::size_t n = SpaceAt(s, begin);
    if (n == 0) break;
    begin += n;
  }
  // The end can only be found walking forward: a trailing A1 A1 may be the
  // second half of one character and the first half of another.
  std::size_t end = begin;
  for (std::size_t i = begin; i < s.size();) {
    const std::size_t space = SpaceAt(s, i);
    const std::size_t n = space ? space : CharLength(s, i);
    i += n;
    if (!space) end = i;
  }
  return std::string(s.substr(begin, end - begin));
}

bool IsBlank(std::string_view s) noexcept {
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = SpaceAt(s, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string RemoveSpaces(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t space = SpaceAt(s, i);
    const std::size_t n = space ? space : CharLength(s, i);
    if (!space) out.append(s.substr(i, n));
    i += n;
  }
  return out;
}

std::size_t Find(std::string_view s, std::string_view what, std::size_t from) noexcept {
  if (what.empty()) return npos;
  for (std::size_t i = from; i < s.size(); i += CharLength(s, i)) {
    if (s.substr(i, what.size()) == what) return i;
  }
  return npos;
}

std::string ReplaceAll(std::string_view s, std::string_view what, std::string_view with) {
  std::string out;
  out.reserve(s.size());
  std::size_t copied = 0;
  for (std::size_t at = Find(s, what); at != npos; at = Find(s, what, copied)) {
    out.append(s.substr(copied, at - copied));
    out.append(with);
    copied = at + what.size();
  }
  out.append(s.substr(copied));
  return out;
}

std::size_t LastBackslash(std::string_view s) noexcept {
  std::size_t last = npos;
  for (std::size_t i = 0; i < s.size(); i += CharLength(s, i)) {
    if (s[i] == '\\') last = i;
  }
  return last;
}

std::string ToLowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string ToUpperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::string IntToText(long long value) { return std::to_string(value); }

std::string FlagToText(bool value) { return value ? "真" : "假"; }

double TextToNumber(std::string_view s) {
  const std::string t = HalfWidth(s);
  std::size_t i = 0;
  while (i < t.size() && IsCSpace(t[i])) ++i;
  const std::size_t start = i;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < t.size() && IsDigit(t[i])) ++i, ++digits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && IsDigit(t[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  std::size_t end = i;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
    if (j < t.size() && IsDigit(t[j])) {
      while (j < t.size() && IsDigit(t[j])) ++j;
      end = j;
    }
  }
  // The number alone goes to strtod, so its own extensions (hexadecimal,
  // "inf", "nan") can never apply. The program never changes the C locale,
  // so the decimal point is '.'.
  const std::string number = t.substr(start, end - start);
  return std::strtod(number.c_str(), nullptr);
}

int TextToInt(std::string_view s) {
  const double d = std::trunc(TextToNumber(s));
  if (d >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (d <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(d);
}

}  // namespace text
