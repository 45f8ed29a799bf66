// The client's registry entry, HKCU\Software\Tencent\WeChat\InstallPath, as
// tests see and prepare it. Every test program of a run shares the prefix's
// registry: ClientKeyGuard puts back what was there before.
#pragma once

#include <windows.h>

#include <string>

namespace client_key {

inline constexpr char kTencent[] = "Software\\Tencent";
inline constexpr char kKey[] = "Software\\Tencent\\WeChat";
inline constexpr char kValue[] = "InstallPath";

inline bool KeyExists(const char* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// The value's type and every byte stored, read through the wide API so that
// no ANSI conversion on the way back can hide a fault on the way in.
struct Stored {
  bool found = false;
  DWORD type = REG_NONE;
  std::wstring data;  // terminating zero included when one was stored
};

inline Stored Read() {
  Stored v;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Tencent\\WeChat", 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return v;
  }
  DWORD size = 0;
  if (RegQueryValueExW(key, L"InstallPath", nullptr, &v.type, nullptr, &size) == ERROR_SUCCESS) {
    std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    v.found = RegQueryValueExW(key, L"InstallPath", nullptr, &v.type,
                               reinterpret_cast<BYTE*>(data.data()), &got) == ERROR_SUCCESS;
    data.resize(got / sizeof(wchar_t));
    v.data = data;
  }
  RegCloseKey(key);
  return v;
}

// What a REG_SZ value written from GBK text holds: its characters and a zero.
inline std::wstring StoredForm(const std::string& gbk) {
  std::wstring wide(gbk.size() + 1, L'\0');
  const int n = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), wide.data(),
                                    static_cast<int>(wide.size()));
  wide.resize(static_cast<std::size_t>(n > 0 ? n : 0));
  return wide + L'\0';
}

inline bool Set(DWORD type, const std::string& gbk) {
  HKEY key = nullptr;
  if (RegCreateKeyA(HKEY_CURRENT_USER, kKey, &key) != ERROR_SUCCESS) return false;
  const bool ok = RegSetValueExA(key, kValue, 0, type, reinterpret_cast<const BYTE*>(gbk.c_str()),
                                 static_cast<DWORD>(gbk.size() + 1)) == ERROR_SUCCESS;
  RegCloseKey(key);
  return ok;
}

inline void DeleteTencent() { RegDeleteTreeA(HKEY_CURRENT_USER, kTencent); }

// Software\Tencent as a volatile key without WeChat under it: the registry
// then refuses to create the lasting key WeChat, and the switch's write
// fails.
inline bool MakeWriteFail() {
  DeleteTencent();
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kTencent, 0, nullptr, REG_OPTION_VOLATILE, KEY_READ,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  HKEY child = nullptr;
  const bool refused = RegCreateKeyA(HKEY_CURRENT_USER, kKey, &child) != ERROR_SUCCESS;
  if (!refused) RegCloseKey(child);
  return refused;
}

// Saves the whole of Software\Tencent on construction (a copy under a
// scratch key of this process) and puts it back on destruction, so that
// whatever a test does there is undone.
class Guard {
 public:
  Guard() : saved_("Software\\KorvalinTestSaved\\" + std::to_string(GetCurrentProcessId())) {
    RegDeleteTreeA(HKEY_CURRENT_USER, saved_.c_str());
    had_ = KeyExists(kTencent) && Copy(kTencent, saved_.c_str());
  }
  ~Guard() {
    DeleteTencent();
    if (had_) Copy(saved_.c_str(), kTencent);
    RegDeleteTreeA(HKEY_CURRENT_USER, saved_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\KorvalinTestSaved");
  }
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;

 private:
  static bool Copy(const char* from, const char* to) {
    HKEY source = nullptr;
    HKEY target = nullptr;
    bool ok = RegOpenKeyExA(HKEY_CURRENT_USER, from, 0, KEY_READ, &source) == ERROR_SUCCESS &&
              RegCreateKeyA(HKEY_CURRENT_USER, to, &target) == ERROR_SUCCESS &&
              RegCopyTreeA(source, nullptr, target) == ERROR_SUCCESS;
    if (source) RegCloseKey(source);
    if (target) RegCloseKey(target);
    return ok;
  }

  std::string saved_;
  bool had_ = false;
};

}  // namespace client_key
