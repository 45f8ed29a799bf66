// The per-user registry value that names the default WeChat client folder.
#pragma once

#include <string>
#include <string_view>

namespace registry {

// Key path and value name in one text, under HKEY_CURRENT_USER.
inline constexpr std::string_view kInstallPathEntry = "Software\\Tencent\\WeChat\\InstallPath";

// One value under HKEY_CURRENT_USER. Every call opens and closes its own key
// handle and keeps no buffer, so calls may run on several threads at once.
class InstallPathEntry {
 public:
  // The text is split at its last backslash that is a character of its own
  // (a GBK trail byte can be 0x5C): key path before it, value name after it.
  // Without a backslash it names a value of the root key itself.
  explicit InstallPathEntry(std::string_view entry = kInstallPathEntry);

  // Writes path's bytes and one zero byte as REG_SZ, creating missing keys and
  // replacing a value of any other type. True only when the value was written.
  bool WriteInstallPath(std::string_view path) const noexcept;

  // REG_SZ up to its first zero byte, REG_EXPAND_SZ expanded; the empty text
  // for anything else or when nothing can be read.
  std::string ReadInstallPath() const noexcept;

 private:
  std::string key_path_;
  std::string value_name_;
};

}  // namespace registry
