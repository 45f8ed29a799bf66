#include "cipher/value_cipher.h"

#include "cipher/digest_text.h"
#include "platform/gui/messages.h"
#include "text/gbk_text.h"

namespace cipher {
namespace {

char MaskByte(char b) noexcept {
  return static_cast<char>((static_cast<unsigned char>(b) ^ ValueMask) & 0xFF);
}

std::string MaskBytes(std::string bytes) {
  for (char& b : bytes) b = MaskByte(b);
  return bytes;
}

int HexDigitValue(char c) noexcept {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

constexpr std::size_t kTagLength = 9;

}  // namespace

std::string EncodeValue(std::string_view plain, std::string_view key) {
  // Copies first: window handlers run while the body is built.
  const std::string keyCopy(key);
  std::string body = BytesToHex(MaskBytes(std::string(plain)));
  return body + KeyTag(keyCopy);
}

std::string DecodeValue(std::string_view stored, std::string_view key) {
  const std::string storedCopy(stored);
  const std::size_t tailStart = storedCopy.size() > kTagLength ? storedCopy.size() - kTagLength : 0;
  if (storedCopy.compare(tailStart, std::string::npos, KeyTag(key)) != 0) return {};
  std::string bytes = MaskBytes(HexPairsToBytes(std::string_view(storedCopy).substr(0, tailStart)));
  // Bytes become text up to the first zero byte.
  const std::size_t zero = bytes.find('\0');
  if (zero != std::string::npos) bytes.resize(zero);
  return bytes;
}

std::string KeyTag(std::string_view key) {
  const std::string digest = Md5Text(key);
  if (digest.size() < 3) return {};
  return text::ToUpperAscii(digest.substr(2, kTagLength));
}

std::string BytesToHex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const std::string copy(bytes);
  std::string out;
  out.reserve(2 * copy.size());
  for (const char c : copy) {
    const unsigned char b = static_cast<unsigned char>(c);
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
    platform::gui::ProcessWaitingMessages();
  }
  return out;
}

std::string HexPairsToBytes(std::string_view text) {
  const std::string copy(text);
  std::string out;
  out.reserve((copy.size() + 1) / 2);
  for (std::size_t i = 0; i < copy.size(); i += 2) {
    const std::int64_t v = HexToInt64(std::string_view(copy).substr(i, 2));
    out += static_cast<char>(v & 0xFF);
    platform::gui::ProcessWaitingMessages();
  }
  return out;
}

std::int64_t HexToInt64(std::string_view text) {
  // Shifting each digit in from the right keeps exactly the last 16 digits.
  // The walk goes forward so that the trail byte of a double-byte character
  // (which may be "A" to "F" or "a" to "f") is never taken for a digit.
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < text.size(); i += text::CharLength(text, i)) {
    const int digit = text::CharLength(text, i) == 1 ? HexDigitValue(text[i]) : -1;
    if (digit >= 0) value = (value << 4) | static_cast<std::uint64_t>(digit);
  }
  return static_cast<std::int64_t>(value);
}

}  // namespace cipher
