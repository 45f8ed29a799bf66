// Profile (INI) files through GetPrivateProfileStringA and
// WritePrivateProfileStringA. A null pointer is passed on as NULL, which is
// how those functions remove a key (null value) or a whole section (null key).
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// WritePrivateProfileStringA; true when the system reports success.
bool WritePrivateProfile(const char* section, const char* key, const char* value,
                         const char* file);

// GetPrivateProfileStringA with a buffer of bufferSize bytes (at least 1):
// the value, or defaultValue when the file, section or key is missing, cut to
// bufferSize - 1 bytes.
std::string ReadPrivateProfile(const char* section, const char* key, const char* defaultValue,
                              std::size_t bufferSize, const char* file);

}  // namespace platform
