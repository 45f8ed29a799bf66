#include "platform/profile.h"

#include <windows.h>

#include <cstdint>

#include "platform/code_page.h"

namespace platform {

ProfileFileLock::ProfileFileLock(std::string_view file) {
  std::wstring path(MAX_PATH, L'\0');
  const std::wstring given = AnsiToUtf16(file);
  DWORD n = GetFullPathNameW(given.c_str(), static_cast<DWORD>(path.size()), path.data(), nullptr);
  if (n >= path.size()) {
    path.resize(n);
    n = GetFullPathNameW(given.c_str(), static_cast<DWORD>(path.size()), path.data(), nullptr);
  }
  path.resize(n < path.size() ? n : 0);
  if (path.empty()) path = given;
  if (!path.empty()) CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
  // A backslash would name a namespace: the name carries a digest of the
  // path (64-bit FNV-1a of its UTF-16 units) instead.
  std::uint64_t digest = 0xCBF29CE484222325ull;
  for (const wchar_t c : path) {
    digest = (digest ^ static_cast<std::uint16_t>(c)) * 0x100000001B3ull;
  }
  static constexpr char kPrefix[] = "Korvalin.ProfileFile.";
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string name = kPrefix;
  for (int shift = 60; shift >= 0; shift -= 4) name += kHex[(digest >> shift) & 15];
  mutex_ = CreateMutexA(nullptr, FALSE, name.c_str());
  if (mutex_) {
    // A holder that died leaves the mutex abandoned, which gives it to the
    // next one; a lock not had within the time limit is gone without,
    // rather than hanging.
    constexpr DWORD kWaitMs = 10000;
    const DWORD wait = WaitForSingleObject(mutex_, kWaitMs);
    owned_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
  }
}

ProfileFileLock::~ProfileFileLock() {
  if (owned_) ReleaseMutex(mutex_);
  if (mutex_) CloseHandle(mutex_);
}

bool WritePrivateProfile(const char* section, const char* key, const char* value,
                        const char* file) {
  const ProfileFileLock lock(file ? file : "");
  return WritePrivateProfileStringA(section, key, value, file) != FALSE;
}

std::string ReadPrivateProfile(const char* section, const char* key, const char* defaultValue,
                              std::size_t bufferSize, const char* file) {
  if (bufferSize == 0) return {};
  std::string buffer(bufferSize, '\0');
  const ProfileFileLock lock(file ? file : "");
  const DWORD n = GetPrivateProfileStringA(section, key, defaultValue, buffer.data(),
                                           static_cast<DWORD>(bufferSize), file);
  buffer.resize(n < bufferSize ? n : bufferSize - 1);
  return buffer;
}

}  // namespace platform
