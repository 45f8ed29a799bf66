// The stored form of an enciphered value: each byte of the value XOR-ed with
// the low 8 bits of ValueMask, written as two upper-case hexadecimal digits,
// then the nine-character tag of the key. Only the tag depends on the key, so
// the tag tells whether a value was written under the reader's key.
//
// BytesToHex and HexPairsToBytes (and so EncodeValue and DecodeValue) let the
// calling thread process its waiting window messages after each byte. A
// window handler may therefore run in the middle of a call; every operation
// copies its arguments before the first byte, so a handler that changes the
// caller's texts cannot change or break the result.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace cipher {

// XOR-ed with every byte as a 32-bit integer and cut to 8 bits: in effect
// each byte is XOR-ed with 0x0E.
inline constexpr int ValueMask = 7438;

// Stored text of plain under key: 2 digits per byte of plain, then
// KeyTag(key). The tag alone for an empty plain; the body alone when no
// digest can be computed.
std::string EncodeValue(std::string_view plain, std::string_view key);

// Plain text of a stored text, or the empty text when stored does not end in
// KeyTag(key) (case matters). The body need not be well-formed: every pair of
// characters gives one byte (HexPairsToBytes), and the text ends before the
// first byte that unmasks to zero. Any bytes of any length are safe.
std::string DecodeValue(std::string_view stored, std::string_view key);

// Characters 3 to 11 of the lower-case MD5 text of key, in upper case; the
// empty text when no digest can be computed.
std::string KeyTag(std::string_view key);

// Two upper-case hexadecimal digits per byte, high digit first.
std::string BytesToHex(std::string_view bytes);

// One byte per pair of characters (an odd last character is a pair of its
// own): the low 8 bits of HexToInt64 of the pair. A pair without a
// hexadecimal digit gives 0.
std::string HexPairsToBytes(std::string_view text);

// The value of the last 16 hexadecimal digits in text (either case), every
// other character skipped, double-byte characters whole: 0 when there is
// none, negative when 16 digits begin with 8 or more.
std::int64_t HexToInt64(std::string_view text);

}  // namespace cipher
