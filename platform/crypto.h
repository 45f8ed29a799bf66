// The CryptoAPI of advapi32.dll, bound by name at first use. A context and a
// hash object release themselves; declare the hash after its context so it is
// destroyed first.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

inline constexpr unsigned long kProvRsaFull = 1;
inline constexpr unsigned long kCryptVerifyContext = 0xF0000000;
inline constexpr unsigned int kCalgMd5 = 0x8003;
inline constexpr unsigned long kHpHashVal = 2;

class CryptoContext {
 public:
  // CryptAcquireContextA with the given container and provider names
  // (nullptr for none), provider type and flags.
  static CryptoContext Acquire(const char* container, const char* provider,
                               unsigned long providerType, unsigned long flags);
  CryptoContext(CryptoContext&& other) noexcept : handle_(other.handle_) { other.handle_ = 0; }
  CryptoContext(const CryptoContext&) = delete;
  CryptoContext& operator=(const CryptoContext&) = delete;
  CryptoContext& operator=(CryptoContext&&) = delete;
  ~CryptoContext();  // CryptReleaseContext(handle, 0)

  bool IsValid() const noexcept { return handle_ != 0; }
  std::uintptr_t Handle() const noexcept { return handle_; }

 private:
  explicit CryptoContext(std::uintptr_t handle) noexcept : handle_(handle) {}
  std::uintptr_t handle_ = 0;
};

class CryptoHash {
 public:
  // CryptCreateHash with no key and flags 0.
  static CryptoHash Create(const CryptoContext& context, unsigned int algorithmId);
  CryptoHash(CryptoHash&& other) noexcept : handle_(other.handle_) { other.handle_ = 0; }
  CryptoHash(const CryptoHash&) = delete;
  CryptoHash& operator=(const CryptoHash&) = delete;
  CryptoHash& operator=(CryptoHash&&) = delete;
  ~CryptoHash();  // CryptDestroyHash

  bool IsValid() const noexcept { return handle_ != 0; }

  // CryptHashData over the whole sequence in one call, flags 0 (a null
  // pointer and 0 for an empty one).
  bool HashData(const unsigned char* data, std::size_t size);

  // CryptGetHashParam with flags 0; *size is the buffer's size in and the
  // value's size out.
  bool GetParam(unsigned long param, unsigned char* buffer, unsigned long* size);

 private:
  explicit CryptoHash(std::uintptr_t handle) noexcept : handle_(handle) {}
  std::uintptr_t handle_ = 0;
};

}  // namespace platform
