#include "platform/crypto.h"

#include <windows.h>
#include <wincrypt.h>

#include "platform/bind.h"

namespace platform {
namespace {
constexpr const char* kAdvapi = "advapi32.dll";
}

CryptoContext CryptoContext::Acquire(const char* container, const char* provider,
                                     unsigned long providerType, unsigned long flags) {
  static const auto fn = KORVALIN_BIND(CryptAcquireContextA, kAdvapi);
  // Releasing the last context of a provider unloads its DLL, and the next
  // acquire loads and initialises it again: under Wine that is milliseconds
  // per digest. One verify context, acquired once and never released, keeps
  // the default provider of each type loaded for the life of the process;
  // every caller still gets and releases a context of its own.
  if (providerType == kProvRsaFull) {
    static const HCRYPTPROV keepLoaded = [] {
      HCRYPTPROV h = 0;
      return fn(&h, nullptr, nullptr, kProvRsaFull, kCryptVerifyContext) ? h : 0;
    }();
    (void)keepLoaded;
  }
  HCRYPTPROV handle = 0;
  if (!fn(&handle, container, provider, providerType, flags)) handle = 0;
  return CryptoContext(handle);
}

CryptoContext::~CryptoContext() {
  if (handle_) {
    static const auto fn = KORVALIN_BIND(CryptReleaseContext, kAdvapi);
    fn(handle_, 0);
  }
}

CryptoHash CryptoHash::Create(const CryptoContext& context, unsigned int algorithmId) {
  if (!context.IsValid()) return CryptoHash(0);
  static const auto fn = KORVALIN_BIND(CryptCreateHash, kAdvapi);
  HCRYPTHASH handle = 0;
  if (!fn(context.Handle(), algorithmId, 0, 0, &handle)) handle = 0;
  return CryptoHash(handle);
}

CryptoHash::~CryptoHash() {
  if (handle_) {
    static const auto fn = KORVALIN_BIND(CryptDestroyHash, kAdvapi);
    fn(handle_);
  }
}

bool CryptoHash::HashData(const unsigned char* data, std::size_t size) {
  if (!handle_ || size > MAXDWORD) return false;
  static const auto fn = KORVALIN_BIND(CryptHashData, kAdvapi);
  return fn(handle_, size ? data : nullptr, static_cast<DWORD>(size), 0) != FALSE;
}

bool CryptoHash::GetParam(unsigned long param, unsigned char* buffer, unsigned long* size) {
  if (!handle_) return false;
  static const auto fn = KORVALIN_BIND(CryptGetHashParam, kAdvapi);
  DWORD s = *size;
  const BOOL ok = fn(handle_, param, buffer, &s, 0);
  *size = s;
  return ok != FALSE;
}

}  // namespace platform
