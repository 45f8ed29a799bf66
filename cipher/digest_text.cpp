#include "cipher/digest_text.h"

#include <vector>

#include "platform/crypto.h"
#include "text/gbk_text.h"

namespace cipher {
namespace {

// A verify context needs no key container, and Microsoft documents a null
// container name for it: an empty text there is refused by some versions of
// Windows. A null provider name picks the default provider. Should the verify
// context be refused, the default container is tried once.
platform::CryptoContext AcquireContext() {
  platform::CryptoContext context = platform::CryptoContext::Acquire(
      nullptr, nullptr, platform::kProvRsaFull, platform::kCryptVerifyContext);
  if (context.IsValid()) return context;
  return platform::CryptoContext::Acquire(nullptr, nullptr, platform::kProvRsaFull, 0);
}

}  // namespace

std::string DigestText(std::string_view bytes, unsigned int algorithmId,
                       unsigned long digestLength) {
  if (digestLength == 0) return {};
  const platform::CryptoContext context = AcquireContext();
  if (!context.IsValid()) return {};
  // Declared after the context, so the hash object is destroyed first.
  platform::CryptoHash hash = platform::CryptoHash::Create(context, algorithmId);
  if (!hash.IsValid()) return {};
  if (!hash.HashData(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size())) {
    return {};
  }
  std::vector<unsigned char> value(digestLength, 0);
  unsigned long size = digestLength;
  if (!hash.GetParam(platform::kHpHashVal, value.data(), &size)) return {};
  if (size > digestLength) size = digestLength;

  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(2 * size);
  for (unsigned long i = 0; i < size; ++i) {
    out += kDigits[value[i] >> 4];
    out += kDigits[value[i] & 15];
  }
  return out;
}

std::string Md5Text(std::string_view bytes, Md5Options options) {
  std::string digest = DigestText(bytes, platform::kCalgMd5, 16);
  if (!options.upperCase) digest = text::ToLowerAscii(digest);
  if (options.shortForm) return digest.size() > 8 ? digest.substr(8, 16) : std::string();
  return digest;
}

}  // namespace cipher
