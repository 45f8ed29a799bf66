// The registry: keys opened and closed within a call, values set and queried.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

enum class RegistryRoot { CurrentUser };
enum class RegistryAccess { Read, Write };

// Value types, as the registry numbers them.
inline constexpr unsigned long kRegSz = 1;
inline constexpr unsigned long kRegExpandSz = 2;
inline constexpr unsigned long kRegBinary = 3;
inline constexpr unsigned long kRegDword = 4;
inline constexpr unsigned long kRegMultiSz = 7;

// An open key; closed (RegCloseKey) when it goes out of scope.
class RegistryKey {
 public:
  RegistryKey() noexcept = default;
  explicit RegistryKey(void* handle) noexcept : handle_(handle) {}
  RegistryKey(RegistryKey&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  RegistryKey& operator=(RegistryKey&& other) noexcept;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey();

  bool IsOpen() const noexcept { return handle_ != nullptr; }
  void* Handle() const noexcept { return handle_; }

 private:
  void* handle_ = nullptr;
};

// RegOpenKeyExA with options 0 and KEY_READ or KEY_WRITE.
RegistryKey OpenRegistryKey(RegistryRoot root, std::string_view path, RegistryAccess access);

// RegCreateKeyA: creates every missing key of the path, or opens it.
RegistryKey CreateRegistryKey(RegistryRoot root, std::string_view path);

// RegSetValueExA with the given type and data.
bool SetRegistryValue(const RegistryKey& key, std::string_view name, unsigned long type,
                      const void* data, std::size_t size);

// RegQueryValueExA without a buffer: the value's type and size in bytes.
bool QueryRegistryValueInfo(const RegistryKey& key, std::string_view name, unsigned long* type,
                            unsigned long* size);

// RegQueryValueExA into a buffer of data->size() bytes; on success data is
// cut to the size the registry reports and type receives the value's type.
bool QueryRegistryValue(const RegistryKey& key, std::string_view name, unsigned long* type,
                        std::string* data);

// ExpandEnvironmentStringsA; the text up to its first zero byte, or the empty
// text when the expansion fails or s (up to its first zero byte) is longer
// than the 32,766 bytes the function takes.
std::string ExpandEnvironmentText(std::string_view s);

}  // namespace platform
