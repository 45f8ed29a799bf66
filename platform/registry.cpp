#include "platform/registry.h"

#include <windows.h>

namespace platform {
namespace {

HKEY RootHandle(RegistryRoot root) noexcept {
  switch (root) {
    case RegistryRoot::CurrentUser:
      break;
  }
  return HKEY_CURRENT_USER;
}

HKEY Hkey(const RegistryKey& key) noexcept { return static_cast<HKEY>(key.Handle()); }

}  // namespace

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
  if (this != &other) {
    if (handle_) RegCloseKey(static_cast<HKEY>(handle_));
    handle_ = other.handle_;
    other.handle_ = nullptr;
  }
  return *this;
}

RegistryKey::~RegistryKey() {
  if (handle_) RegCloseKey(static_cast<HKEY>(handle_));
}

RegistryKey OpenRegistryKey(RegistryRoot root, std::string_view path, RegistryAccess access) {
  const std::string p(path);
  const REGSAM sam = access == RegistryAccess::Read ? KEY_READ : KEY_WRITE;
  HKEY key = nullptr;
  if (RegOpenKeyExA(RootHandle(root), p.c_str(), 0, sam, &key) != ERROR_SUCCESS) return {};
  return RegistryKey(key);
}

RegistryKey CreateRegistryKey(RegistryRoot root, std::string_view path) {
  const std::string p(path);
  HKEY key = nullptr;
  if (RegCreateKeyA(RootHandle(root), p.c_str(), &key) != ERROR_SUCCESS) return {};
  return RegistryKey(key);
}

bool SetRegistryValue(const RegistryKey& key, std::string_view name, unsigned long type,
                      const void* data, std::size_t size) {
  if (!key.IsOpen() || size > MAXDWORD) return false;
  const std::string n(name);
  return RegSetValueExA(Hkey(key), n.c_str(), 0, type, static_cast<const BYTE*>(data),
                        static_cast<DWORD>(size)) == ERROR_SUCCESS;
}

bool QueryRegistryValueInfo(const RegistryKey& key, std::string_view name, unsigned long* type,
                            unsigned long* size) {
  if (!key.IsOpen()) return false;
  const std::string n(name);
  DWORD t = 0;
  DWORD s = 0;
  if (RegQueryValueExA(Hkey(key), n.c_str(), nullptr, &t, nullptr, &s) != ERROR_SUCCESS) {
    return false;
  }
  *type = t;
  *size = s;
  return true;
}

bool QueryRegistryValue(const RegistryKey& key, std::string_view name, unsigned long* type,
                        std::string* data) {
  if (!key.IsOpen() || data->size() > MAXDWORD) return false;
  const std::string n(name);
  DWORD t = 0;
  DWORD s = static_cast<DWORD>(data->size());
  if (RegQueryValueExA(Hkey(key), n.c_str(), nullptr, &t, reinterpret_cast<BYTE*>(data->data()),
                       &s) != ERROR_SUCCESS) {
    return false;
  }
  if (s < data->size()) data->resize(s);
  *type = t;
  return true;
}

std::string ExpandEnvironmentText(std::string_view s) {
  const std::string source(s.substr(0, s.find('\0')));
  // The function takes at most 32K characters (Microsoft's documentation).
  // Wine (8.0) counts the ANSI bytes, and from 32,767 of them on it returns
  // bytes of memory it never wrote, a different text at each call. No folder
  // is that long: such a text expands to nothing.
  constexpr std::size_t kLongestSource = 32766;
  if (source.size() > kLongestSource) return {};
  // The size the ANSI function reports is not a byte count to trust: some
  // Windows versions want one byte more than they report, and Wine (8.0)
  // reports characters, so a Chinese expansion comes back cut, without its
  // zero, in a buffer of that size. Code page 936 needs at most two bytes a
  // character: give it twice the size, and retry while the environment grows.
  DWORD needed = ExpandEnvironmentStringsA(source.c_str(), nullptr, 0);
  for (int attempt = 0; needed != 0 && attempt < 4; ++attempt) {
    std::string buffer(2 * static_cast<std::size_t>(needed) + 1, '\0');
    const DWORD n =
        ExpandEnvironmentStringsA(source.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (2 * static_cast<std::size_t>(n) + 1 <= buffer.size()) {
      buffer.resize(buffer.find('\0') == std::string::npos ? buffer.size() : buffer.find('\0'));
      return buffer;
    }
    needed = n;
  }
  return {};
}

}  // namespace platform
