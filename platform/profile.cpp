#include "platform/profile.h"

#include <windows.h>

namespace platform {

bool WritePrivateProfile(const char* section, const char* key, const char* value,
                        const char* file) {
  return WritePrivateProfileStringA(section, key, value, file) != FALSE;
}

std::string ReadPrivateProfile(const char* section, const char* key, const char* defaultValue,
                              std::size_t bufferSize, const char* file) {
  if (bufferSize == 0) return {};
  std::string buffer(bufferSize, '\0');
  const DWORD n = GetPrivateProfileStringA(section, key, defaultValue, buffer.data(),
                                           static_cast<DWORD>(bufferSize), file);
  buffer.resize(n < bufferSize ? n : bufferSize - 1);
  return buffer;
}

}  // namespace platform
