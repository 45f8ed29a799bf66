// HKCU\Software\Tencent\WeChat, the client's key, as the tests see it: its
// values read and written raw, saved and put back around a test (every test
// program of a run shares the prefix), and an access list that refuses some
// rights.
#pragma once

#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace wechat_key {

inline constexpr char kTencentKey[] = "Software\\Tencent";
inline constexpr char kWeChatKey[] = "Software\\Tencent\\WeChat";

struct RegistryValue {
  DWORD type;
  std::string data;
  bool operator==(const RegistryValue& other) const {
    return type == other.type && data == other.data;
  }
};
using RegistryValues = std::map<std::string, RegistryValue>;

inline bool KeyExists(const char* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// Every value of the WeChat key, whatever its size; nullopt when the key
// does not exist.
inline std::optional<RegistryValues> WeChatValues() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kWeChatKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  DWORD longestName = 0;
  DWORD largestData = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                   &longestName, &largestData, nullptr, nullptr);
  RegistryValues values;
  std::vector<char> name(longestName + 2);
  std::vector<BYTE> data(largestData + 1);
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size());
    DWORD type = 0;
    DWORD dataSize = static_cast<DWORD>(data.size());
    if (RegEnumValueA(key, i, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize) !=
        ERROR_SUCCESS) {
      break;
    }
    values[std::string(name.data(), nameSize)] = {
        type, std::string(reinterpret_cast<const char*>(data.data()), dataSize)};
  }
  RegCloseKey(key);
  return values;
}

inline void SetWeChatValue(const char* name, DWORD type, const std::string& data) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kWeChatKey, &key), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                           static_cast<DWORD>(data.size())),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

// A text value as the registry stores it: its bytes and a zero byte.
inline RegistryValue Text(const std::string& s) { return {REG_SZ, s + '\0'}; }

inline void SetInstallPath(const std::string& folder) {
  const RegistryValue v = Text(folder);
  SetWeChatValue("InstallPath", v.type, v.data);
}

inline void DeleteInstallPath() {
  RegDeleteKeyValueA(HKEY_CURRENT_USER, kWeChatKey, "InstallPath");
}

inline std::optional<RegistryValue> InstallPathValue() {
  const std::optional<RegistryValues> values = WeChatValues();
  if (!values || !values->count("InstallPath")) return std::nullopt;
  return values->at("InstallPath");
}

// Saves the client's key as it is and puts it back, key for key and value
// for value, when it goes out of scope.
class RegistryKeeper {
 public:
  RegistryKeeper() : tencent_(KeyExists(kTencentKey)), values_(WeChatValues()) {}
  ~RegistryKeeper() {
    if (!tencent_) {
      RegDeleteTreeA(HKEY_CURRENT_USER, kTencentKey);
      return;
    }
    if (!values_) {
      RegDeleteTreeA(HKEY_CURRENT_USER, kWeChatKey);
      return;
    }
    if (const std::optional<RegistryValues> now = WeChatValues()) {
      for (const auto& [name, value] : *now) {
        if (!values_->count(name)) RegDeleteKeyValueA(HKEY_CURRENT_USER, kWeChatKey, name.c_str());
      }
    }
    for (const auto& [name, value] : *values_) SetWeChatValue(name.c_str(), value.type, value.data);
  }
  RegistryKeeper(const RegistryKeeper&) = delete;
  RegistryKeeper& operator=(const RegistryKeeper&) = delete;

 private:
  bool tencent_;
  std::optional<RegistryValues> values_;
};

// Lets everyone do anything with the key except what denyMask names, and
// puts the key's own access list back when it goes out of scope.
class KeyAccessDenial {
 public:
  KeyAccessDenial(const char* path, DWORD denyMask) : path_(path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, READ_CONTROL | WRITE_DAC, &key) !=
        ERROR_SUCCESS) {
      ADD_FAILURE() << "cannot open " << path;
      return;
    }
    DWORD size = 0;
    RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
    saved_.resize(size);
    if (RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, saved_.data(), &size) != ERROR_SUCCESS) {
      saved_.clear();
    }
    const std::string sddl = "D:P(D;;" + std::to_string(denyMask) + ";;;WD)(A;;KA;;;WD)";
    PSECURITY_DESCRIPTOR denying = nullptr;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1,
                                                             &denying, nullptr)) {
      EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, denying), ERROR_SUCCESS);
      LocalFree(denying);
    }
    RegCloseKey(key);
  }
  ~KeyAccessDenial() {
    HKEY key = nullptr;
    if (saved_.empty() ||
        RegOpenKeyExA(HKEY_CURRENT_USER, path_, 0, WRITE_DAC, &key) != ERROR_SUCCESS) {
      return;
    }
    RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, saved_.data());
    RegCloseKey(key);
  }
  KeyAccessDenial(const KeyAccessDenial&) = delete;
  KeyAccessDenial& operator=(const KeyAccessDenial&) = delete;

 private:
  const char* path_;
  std::vector<char> saved_;
};

}  // namespace wechat_key
