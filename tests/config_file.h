// Data\Config.ini as tests read it: its bytes, and the form in which the
// window stores a remembered folder there.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

namespace config_file {

inline std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A folder's stored form under the slots' key, computed apart from the
// program: each byte XOR 0x0E as two upper-case hexadecimal digits, then
// characters 3 to 11 of the MD5 text of "peltrimuva"
// (b89e0e5c281a1230afb461273f8b6040), upper-cased.
inline std::string StoredFolder(const std::string& folder) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : folder) {
    const unsigned char b = static_cast<unsigned char>(c) ^ 0x0E;
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out + "9E0E5C281";
}

}  // namespace config_file
