#include "platform/profile.h"

#include <windows.h>

#include <cstdint>

#include "platform/code_page.h"

namespace platform {
namespace {

// A named mutex of this session for one file, held for the life of the
// object. Its name comes from the file's full path with case ignored, as the
// file system compares paths, so every spelling of the path shares it. A
// holder that died leaves it abandoned, which gives it to the next one; a
// lock not had within the time limit is gone without, rather than hanging.
class FileLock {
 public:
  explicit FileLock(const char* file) {
    std::wstring path(MAX_PATH, L'\0');
    const std::wstring given = AnsiToUtf16(file ? file : "");
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
    char name[64] = "Korvalin.ProfileFile.";
    static constexpr char kHex[] = "0123456789ABCDEF";
    char* end = name + sizeof "Korvalin.ProfileFile." - 1;
    for (int shift = 60; shift >= 0; shift -= 4) *end++ = kHex[(digest >> shift) & 15];
    *end = '\0';
    mutex_ = CreateMutexA(nullptr, FALSE, name);
    if (mutex_) {
      const DWORD wait = WaitForSingleObject(mutex_, kWaitMs);
      owned_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }
  }
  ~FileLock() {
    if (owned_) ReleaseMutex(mutex_);
    if (mutex_) CloseHandle(mutex_);
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  static constexpr DWORD kWaitMs = 10000;
  HANDLE mutex_ = nullptr;
  bool owned_ = false;
};

}  // namespace

bool WritePrivateProfile(const char* section, const char* key, const char* value,
                        const char* file) {
  const FileLock lock(file);
  return WritePrivateProfileStringA(section, key, value, file) != FALSE;
}

std::string ReadPrivateProfile(const char* section, const char* key, const char* defaultValue,
                              std::size_t bufferSize, const char* file) {
  if (bufferSize == 0) return {};
  std::string buffer(bufferSize, '\0');
  const FileLock lock(file);
  const DWORD n = GetPrivateProfileStringA(section, key, defaultValue, buffer.data(),
                                           static_cast<DWORD>(bufferSize), file);
  buffer.resize(n < bufferSize ? n : bufferSize - 1);
  return buffer;
}

}  // namespace platform
