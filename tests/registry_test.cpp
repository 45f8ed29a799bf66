// The install-path entry against Wine's real registry, under a scratch key of
// HKEY_CURRENT_USER that each test starts without and leaves behind deleted.
#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "registry/install_path_entry.h"

namespace {

const char kScratch[] = "Software\\KorvalinRegistryTest";
const std::string kKey = std::string(kScratch) + "\\Tencent\\WeChat";
const wchar_t kKeyW[] = L"Software\\KorvalinRegistryTest\\Tencent\\WeChat";

// GBK text: 微信 and 版本二 are two-byte characters.
const char kChineseFolder[] = "D:\\微信\\版本二";
const wchar_t kChineseFolderW[] = L"D:\\微信\\版本二";

// What the registry holds, seen through the wide API so that no ANSI
// conversion on the way back can hide a fault on the way in.
struct StoredValue {
  bool found = false;
  DWORD type = REG_NONE;
  std::wstring data;  // every stored byte pair, terminating zero included
};

StoredValue QueryStored(const wchar_t* key_path, const wchar_t* name) {
  StoredValue v;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key_path, 0, KEY_READ, &key) != ERROR_SUCCESS) return v;
  DWORD size = 0;
  if (RegQueryValueExW(key, name, nullptr, &v.type, nullptr, &size) == ERROR_SUCCESS) {
    std::wstring data(size / sizeof(wchar_t), L'\0');
    v.found = RegQueryValueExW(key, name, nullptr, &v.type, reinterpret_cast<BYTE*>(data.data()),
                               &size) == ERROR_SUCCESS;
    data.resize(size / sizeof(wchar_t));
    v.data = data;
  }
  RegCloseKey(key);
  return v;
}

// Sets the value with exactly these bytes. RegSetValueExA counts a text's
// terminating zero itself when the caller left it out and a zero follows the
// data (Windows NT does so too): a byte that is not zero follows here.
void SetRaw(const std::string& key_path, const char* name, DWORD type, const std::string& data) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, key_path.c_str(), &key), ERROR_SUCCESS);
  const std::string guarded = data + 'X';
  EXPECT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(guarded.data()),
                           static_cast<DWORD>(data.size())),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

// The state of the entry's key before a case runs.
enum class Before { NoKey, KeyWithoutValue, Value };

class InstallPathEntryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
    SetEnvironmentVariableA("KORVALIN_CLIENTS", "E:\\客户端");
  }
  void TearDown() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
    SetEnvironmentVariableA("KORVALIN_CLIENTS", nullptr);
  }

  void Prepare(Before before, DWORD type = REG_NONE, const std::string& data = {}) {
    RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
    if (before == Before::KeyWithoutValue) SetRaw(kKey, "Other", REG_SZ, std::string("x", 2));
    if (before == Before::Value) SetRaw(kKey, "InstallPath", type, data);
  }

  const registry::InstallPathEntry entry_{kKey + "\\InstallPath"};
};

TEST_F(InstallPathEntryTest, ReadsTextTypesAndNothingElse) {
  const std::string long_value(5000, 'v');
  SetEnvironmentVariableA("KORVALIN_LONG", long_value.c_str());
  using namespace std::string_literals;
  struct Case {
    Before before;
    DWORD type;
    std::string data;
    std::string expected;
  };
  const Case cases[] = {
      {Before::NoKey, REG_NONE, "", ""},
      {Before::KeyWithoutValue, REG_NONE, "", ""},
      {Before::Value, REG_SZ, "C:\\Program Files\\Tencent\\WeChat\0"s,
       "C:\\Program Files\\Tencent\\WeChat"},
      {Before::Value, REG_SZ, "D:\\微信\\版本二\0"s, kChineseFolder},
      {Before::Value, REG_SZ, "\0"s, ""},
      {Before::Value, REG_SZ, "", ""},                      // size 0
      {Before::Value, REG_SZ, "C:\\a\0junk\0"s, "C:\\a"},  // up to the first zero
      {Before::Value, REG_EXPAND_SZ, "%KORVALIN_CLIENTS%\\WeChat\0"s, "E:\\客户端\\WeChat"},
      {Before::Value, REG_EXPAND_SZ, "%KORVALIN_LONG%\\x\0"s, long_value + "\\x"},
      {Before::Value, REG_EXPAND_SZ, "%KORVALIN_UNSET%\\x\0"s, "%KORVALIN_UNSET%\\x"},
      {Before::Value, REG_DWORD, "\x01\0\0\0"s, ""},
      {Before::Value, REG_BINARY, "C:\\x\0"s, ""},
      {Before::Value, REG_MULTI_SZ, "C:\\a\0C:\\b\0\0"s, ""},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    const Case& c = cases[i];
    Prepare(c.before, c.type, c.data);
    EXPECT_EQ(entry_.ReadInstallPath(), c.expected);
  }
  SetEnvironmentVariableA("KORVALIN_LONG", nullptr);
}

TEST_F(InstallPathEntryTest, TextStoredWithoutTerminatingZeroIsReadWhole) {
  struct Case {
    DWORD type;
    std::string data;
    std::wstring stored;
    std::string expected;
  };
  const Case cases[] = {
      {REG_SZ, "C:\\abc", L"C:\\abc", "C:\\abc"},
      {REG_SZ, kChineseFolder, kChineseFolderW, kChineseFolder},
      {REG_EXPAND_SZ, "%KORVALIN_CLIENTS%", L"%KORVALIN_CLIENTS%", "E:\\客户端"},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    const Case& c = cases[i];
    Prepare(Before::Value, c.type, c.data);
    // The registry holds no zero: the case is the one it claims to be.
    ASSERT_EQ(QueryStored(kKeyW, L"InstallPath").data, c.stored);
    EXPECT_EQ(entry_.ReadInstallPath(), c.expected);
  }
}

TEST_F(InstallPathEntryTest, WritesTheTextAsRegSzWhateverWasThere) {
  using namespace std::string_literals;
  struct Case {
    Before before;
    DWORD old_type;
    std::string old_data;
    std::string path;
    std::wstring stored;  // without the terminating zero
  };
  const Case cases[] = {
      {Before::NoKey, REG_NONE, "", "C:\\WeChat", L"C:\\WeChat"},
      {Before::KeyWithoutValue, REG_NONE, "", "C:\\WeChat", L"C:\\WeChat"},
      {Before::Value, REG_SZ, "C:\\Old\\Longer\\Folder\0"s, "C:\\New", L"C:\\New"},
      {Before::Value, REG_SZ, "C:\\Old\0"s, "", L""},
      {Before::Value, REG_DWORD, "\x01\0\0\0"s, "C:\\WeChat", L"C:\\WeChat"},
      {Before::Value, REG_BINARY, "\xFF\xFE"s, "C:\\WeChat", L"C:\\WeChat"},
      {Before::Value, REG_MULTI_SZ, "C:\\a\0C:\\b\0\0"s, "C:\\WeChat", L"C:\\WeChat"},
      // Written as it is: a later read must not expand it.
      {Before::Value, REG_EXPAND_SZ, "%KORVALIN_CLIENTS%\0"s, "%KORVALIN_CLIENTS%\\x",
       L"%KORVALIN_CLIENTS%\\x"},
      {Before::NoKey, REG_NONE, "", kChineseFolder, kChineseFolderW},
      // 誠 is GBK D5 5C: its trail byte is a backslash, kept as it is.
      {Before::NoKey, REG_NONE, "", "D:\\誠\\", L"D:\\誠\\"},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    const Case& c = cases[i];
    Prepare(c.before, c.old_type, c.old_data);
    EXPECT_TRUE(entry_.WriteInstallPath(c.path));
    const StoredValue stored = QueryStored(kKeyW, L"InstallPath");
    EXPECT_TRUE(stored.found);
    EXPECT_EQ(stored.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored.data, c.stored + L'\0');
    EXPECT_EQ(entry_.ReadInstallPath(), c.path);
  }
}

TEST_F(InstallPathEntryTest, SplitsAtTheLastBackslashThatIsACharacter) {
  // Both the key and the value name end in 誠 (D5 5C): a split at the last
  // 0x5C byte would write an unnamed value under a key named "...路径\xD5".
  const registry::InstallPathEntry entry(std::string(kScratch) + "\\版本誠\\路径誠");
  ASSERT_TRUE(entry.WriteInstallPath("C:\\x"));
  const StoredValue stored = QueryStored(L"Software\\KorvalinRegistryTest\\版本誠", L"路径誠");
  EXPECT_TRUE(stored.found);
  EXPECT_EQ(stored.data, std::wstring(L"C:\\x") + L'\0');
  EXPECT_EQ(entry.ReadInstallPath(), "C:\\x");
}

TEST_F(InstallPathEntryTest, WithoutBackslashNamesAValueOfTheRootKey) {
  const registry::InstallPathEntry entry("KorvalinRegistryTestValue");
  ASSERT_TRUE(entry.WriteInstallPath("C:\\root"));
  const StoredValue stored = QueryStored(L"", L"KorvalinRegistryTestValue");
  RegDeleteValueA(HKEY_CURRENT_USER, "KorvalinRegistryTestValue");
  EXPECT_TRUE(stored.found);
  EXPECT_EQ(stored.data, std::wstring(L"C:\\root") + L'\0');
}

TEST_F(InstallPathEntryTest, DefaultEntryIsTheClientsInstallPath) {
  HKEY existing = nullptr;
  const bool had_tencent =
      RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tencent", 0, KEY_READ, &existing) == ERROR_SUCCESS;
  if (had_tencent) RegCloseKey(existing);
  const StoredValue old = QueryStored(L"Software\\Tencent\\WeChat", L"InstallPath");

  const registry::InstallPathEntry entry;
  ASSERT_TRUE(entry.WriteInstallPath(kChineseFolder));
  const StoredValue stored = QueryStored(L"Software\\Tencent\\WeChat", L"InstallPath");
  EXPECT_EQ(entry.ReadInstallPath(), kChineseFolder);

  if (!had_tencent) {
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tencent");
  } else if (old.found) {
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Tencent\\WeChat", 0, KEY_SET_VALUE, &key);
    RegSetValueExW(key, L"InstallPath", 0, old.type, reinterpret_cast<const BYTE*>(old.data.data()),
                   static_cast<DWORD>(old.data.size() * sizeof(wchar_t)));
    RegCloseKey(key);
  } else {
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Tencent\\WeChat", "InstallPath");
  }
  EXPECT_TRUE(stored.found);
  EXPECT_EQ(stored.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(stored.data, std::wstring(kChineseFolderW) + L'\0');
}

TEST_F(InstallPathEntryTest, OneMegabyteValueRoundTrips) {
  std::string big(1 << 20, 'a');
  for (std::size_t i = 0; i < big.size(); i += 1000) big[i] = '\\';
  ASSERT_TRUE(entry_.WriteInstallPath(big));
  EXPECT_EQ(entry_.ReadInstallPath(), big);
}

TEST_F(InstallPathEntryTest, ConcurrentReadsAllSeeTheValue) {
  Prepare(Before::Value, REG_EXPAND_SZ, "%KORVALIN_CLIENTS%\\微信\0" + std::string(1, '\0'));
  const std::string expected = "E:\\客户端\\微信";
  ASSERT_EQ(entry_.ReadInstallPath(), expected);
  std::atomic<int> wrong{0};
  std::vector<std::thread> readers;
  for (int t = 0; t < 8; ++t) {
    readers.emplace_back([&] {
      for (int i = 0; i < 200; ++i) {
        if (entry_.ReadInstallPath() != expected) ++wrong;
      }
    });
  }
  for (auto& r : readers) r.join();
  EXPECT_EQ(wrong.load(), 0);
}

TEST_F(InstallPathEntryTest, ValueRewrittenDuringReadsGivesAWholeTextOrNothing) {
  // Another program rewrites the value between the size query and the read:
  // it grows, shrinks, and turns into binary data of a text's size. A read
  // gives one whole text or the empty text, never a cut or binary one.
  using namespace std::string_literals;
  const std::string short_text = "C:\\a";
  const std::string long_text(64 * 1024, 'L');
  const std::string binary(long_text.size() + 1, 'b');
  Prepare(Before::Value, REG_SZ, short_text + '\0');

  std::atomic<bool> done{false};
  std::atomic<int> rewrites{0};
  std::thread writer([&] {
    HKEY key = nullptr;
    RegOpenKeyExA(HKEY_CURRENT_USER, kKey.c_str(), 0, KEY_SET_VALUE, &key);
    while (!done.load()) {
      // Mostly a text and binary data of the same size, now and then short.
      const int n = rewrites.fetch_add(1) % 5;
      const std::string& data = n == 0 ? short_text : n % 2 == 1 ? long_text : binary;
      const DWORD type = n != 0 && n % 2 == 0 ? REG_BINARY : REG_SZ;
      RegSetValueExA(key, "InstallPath", 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>(data.size() + (type == REG_SZ ? 1 : 0)));
    }
    RegCloseKey(key);
  });
  std::atomic<int> bad{0};
  std::atomic<int> whole{0};
  std::vector<std::thread> readers;
  for (int t = 0; t < 4; ++t) {
    readers.emplace_back([&] {
      for (int i = 0; i < 500; ++i) {
        const std::string s = entry_.ReadInstallPath();
        if (s == short_text || s == long_text) {
          ++whole;
        } else if (!s.empty()) {
          ++bad;
        }
      }
    });
  }
  for (auto& r : readers) r.join();
  done = true;
  writer.join();
  EXPECT_EQ(bad.load(), 0);
  EXPECT_GT(whole.load(), 0);
  EXPECT_GT(rewrites.load(), 3);
}

// Lets everyone do anything with the key except what deny_mask names.
void DenyEveryone(const std::string& key_path, DWORD deny_mask) {
  const std::string sddl = "D:P(D;;" + std::to_string(deny_mask) + ";;;WD)(A;;KA;;;WD)";
  PSECURITY_DESCRIPTOR sd = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1,
                                                                   &sd, nullptr));
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key_path.c_str(), 0, WRITE_DAC, &key), ERROR_SUCCESS);
  EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd), ERROR_SUCCESS);
  RegCloseKey(key);
  LocalFree(sd);
}

TEST_F(InstallPathEntryTest, WriteDeniedGivesFalseAndKeepsTheOldValue) {
  ASSERT_TRUE(entry_.WriteInstallPath("C:\\Old"));
  DenyEveryone(kKey, KEY_SET_VALUE);
  // The registry must really refuse, or this case proves nothing.
  HKEY probe = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKey.c_str(), 0, KEY_WRITE, &probe),
            ERROR_ACCESS_DENIED);

  EXPECT_FALSE(entry_.WriteInstallPath("C:\\New"));
  EXPECT_EQ(entry_.ReadInstallPath(), "C:\\Old");
  EXPECT_EQ(QueryStored(kKeyW, L"InstallPath").data, std::wstring(L"C:\\Old") + L'\0');
}

TEST_F(InstallPathEntryTest, KeyThatCannotBeCreatedGivesFalse) {
  // Wine (8.0) does not check KEY_CREATE_SUB_KEY on the parent when a path is
  // created, but it refuses, as Windows does, a lasting key under a volatile
  // one; RegCreateKeyA creates lasting keys.
  HKEY parent = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kScratch) + "\\Tencent").c_str(), 0,
                            nullptr, REG_OPTION_VOLATILE, KEY_READ, nullptr, &parent, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(parent);

  EXPECT_FALSE(entry_.WriteInstallPath("C:\\New"));
  EXPECT_FALSE(QueryStored(kKeyW, L"InstallPath").found);
  EXPECT_EQ(entry_.ReadInstallPath(), "");
}

}  // namespace
