#include "cli/json.h"

#include "platform/code_page.h"

namespace cli {

std::string JsonString(std::string_view ansi) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (const wchar_t c : platform::AnsiToUtf16(ansi)) {
    const auto unit = static_cast<unsigned>(c) & 0xFFFF;
    if (unit == '"' || unit == '\\') {
      out += '\\';
      out += static_cast<char>(unit);
    } else if (unit >= 0x20 && unit < 0x7F) {
      out += static_cast<char>(unit);
    } else {
      out += "\\u";
      for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(unit >> shift) & 0xF];
    }
  }
  return out + '"';
}

}  // namespace cli
