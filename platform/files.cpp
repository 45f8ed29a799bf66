#include "platform/files.h"

#include <windows.h>

namespace platform {

bool IsExistingFile(std::string_view path) {
  const std::string p(path);
  const DWORD attributes = GetFileAttributesA(p.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FullPathName(std::string_view path) {
  const std::string p(path);
  std::string buffer(MAX_PATH, '\0');
  // The result may outgrow the buffer (paths may exceed MAX_PATH); the size
  // asked for then includes the terminating zero.
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD n =
        GetFullPathNameA(p.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      // A byte count to check rather than trust, as with the other ANSI
      // functions that convert from UTF-16 inside.
      if (const std::size_t zero = buffer.find('\0'); zero != std::string::npos) {
        buffer.resize(zero);
      }
      return buffer;
    }
    buffer.assign(2 * static_cast<std::size_t>(n), '\0');
  }
  return {};
}

bool ReadFileVersion(std::string_view path, FileVersion* version) {
  const std::string p(path);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(p.c_str(), &ignored);
  if (size == 0) return false;
  std::string block(size, '\0');
  if (!GetFileVersionInfoA(p.c_str(), 0, size, block.data())) return false;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), "\\", &value, &length) || !value ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return false;
  }
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  if (fixed->dwSignature != 0xFEEF04BD) return false;
  version->parts[0] = HIWORD(fixed->dwFileVersionMS);
  version->parts[1] = LOWORD(fixed->dwFileVersionMS);
  version->parts[2] = HIWORD(fixed->dwFileVersionLS);
  version->parts[3] = LOWORD(fixed->dwFileVersionLS);
  return true;
}

}  // namespace platform
