// Hash values as hexadecimal text, computed by the system's crypto provider.
#pragma once

#include <string>
#include <string_view>

namespace cipher {

// The hash value of bytes under algorithmId (a CryptoAPI ALG_ID) as upper-case hexadecimal, two
// digits per byte that the provider returned. digestLength is the size of the
// buffer offered for the value (at least 1); a buffer smaller than the value,
// an algorithm the provider does not know, or any other failure gives the
// empty text.
std::string DigestText(std::string_view bytes, unsigned int algorithmId,
                       unsigned long digestLength);

struct Md5Options {
  bool upperCase = false;
  // Only the 16 middle digits (positions 9 to 24).
  bool shortForm = false;
};

// The MD5 digest of bytes: 32 lower-case hexadecimal digits unless the
// options say otherwise, or the empty text when no digest can be computed.
std::string Md5Text(std::string_view bytes, Md5Options options = {});

}  // namespace cipher
