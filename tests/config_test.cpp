// ConfigStore against Wine's real profile functions, on INI files in a
// scratch folder. The file's bytes are checked, not only round trips.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "cipher/value_cipher.h"
#include "config/config_store.h"
#include "config/version_slots.h"
#include "platform/folders.h"
#include "scratch_files.h"

namespace {

constexpr const char* kKey = "peltrimuva";
constexpr const char* kTag = "9E0E5C281";          // KeyTag("peltrimuva")
constexpr const char* kBuiltInTag = "692B81977";   // KeyTag("Qelmar20.48")
const std::string kAbsent(10, '\x01');

using scratch::Exists;
using scratch::ReadBytes;
using scratch::RemoveTree;
using scratch::WriteBytes;

// A scratch folder of the test's own, empty at the start.
class Scratch : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::string(temp) + "korvalin_config_" + info->test_suite_name() + "_" + info->name();
    RemoveTree(folder_);
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
    ini_ = folder_ + "\\Config.ini";
  }
  void TearDown() override { RemoveTree(folder_); }

  // A store opened on ini_ under key, the file deleted first.
  config::ConfigStore FreshStore(const char* key) const {
    DeleteFileA(ini_.c_str());
    config::ConfigStore store;
    store.Open(ini_, key);
    return store;
  }

  std::string folder_;
  std::string ini_;
};

TEST(BuiltInKey, IsPinned) {
  // Files written under it must stay readable: never change these.
  EXPECT_EQ(config::BuiltInKey(), "Qelmar20.48");
  EXPECT_EQ(cipher::KeyTag(config::BuiltInKey()), kBuiltInTag);
}

TEST(FolderPartOf, CutsAfterTheLastBackslashCharacter) {
  struct Case {
    std::string path, folder;
  };
  const std::vector<Case> cases = {
      {"E:\\cfg\\app.ini", "E:\\cfg\\"},
      {"E:\\cfg\\sub\\", "E:\\cfg\\"},
      {"app.ini", ""},
      {"", ""},
      {"\\", ""},
      {"E:\\", ""},
      {"E:\\a\\\\", "E:\\a\\"},           // one trailing backslash is dropped
      {"E:\\乗\\a.ini", "E:\\乗\\"},        // 乗 is 81 5C
      {"E:\\cfg\\乗", "E:\\cfg\\"},
      {"乗", ""},
      {" E:\\cfg\\a.ini ", " E:\\cfg\\"},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(config::FolderPartOf(cases[i].path), cases[i].folder) << "case " << i;
  }
}

TEST_F(Scratch, EnsureFolderExistsAndIsFolder) {
  // Ending in a double-byte character whose second byte is 0x5C: the folder
  // itself must be created, not only its parent.
  const std::vector<std::string> folders = {folder_ + "\\new1\\new2", folder_ + "\\中文\\乗",
                                            folder_ + "\\a\\b\\"};
  for (std::size_t i = 0; i < folders.size(); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    EXPECT_FALSE(config::IsFolder(folders[i]));
    EXPECT_TRUE(config::EnsureFolderExists(folders[i]));
    EXPECT_TRUE(config::IsFolder(folders[i]));
    EXPECT_TRUE(config::EnsureFolderExists(folders[i]));  // already there
  }
  WriteBytes(folder_ + "\\file", "x");
  EXPECT_FALSE(config::IsFolder(folder_ + "\\file"));
  EXPECT_FALSE(config::IsFolder(folder_ + "\\missing"));
  EXPECT_FALSE(config::EnsureFolderExists(folder_ + "\\file\\sub"));
}

TEST_F(Scratch, OpenWithABlankFileUsesDataConfigIniBesideTheExecutable) {
  const std::string data = platform::RunDirectory() + "\\Data";
  for (const std::string file : {"", " ", "   ", "\xA1\xA1", " \xA1\xA1 "}) {
    SCOPED_TRACE("file \"" + file + "\"");
    RemoveTree(data);
    config::ConfigStore store;
    store.Open(file, kKey);
    EXPECT_EQ(store.FilePath(), data + "\\Config.ini");
    EXPECT_TRUE(config::IsFolder(data));
    EXPECT_FALSE(Exists(data + "\\Config.ini"));  // the first write creates it
  }
  config::ConfigStore store;
  store.Open();
  std::string section;
  EXPECT_TRUE(store.WriteItem(section, "k", "v"));
  EXPECT_EQ(ReadBytes(data + "\\Config.ini"), "[System]\r\nk=v\r\n");
  RemoveTree(data);
}

TEST_F(Scratch, OpenKeepsTheFileAndPrefixAsGivenAndTrimsTheKey) {
  config::ConfigStore store;
  const std::string deep = folder_ + "\\new1\\new2\\a.ini";
  store.Open(deep, " \xA1\xA1 key \xA1\xA1 ", " pre ");
  EXPECT_EQ(store.FilePath(), deep);
  EXPECT_TRUE(config::IsFolder(folder_ + "\\new1\\new2"));
  EXPECT_FALSE(Exists(deep));
  EXPECT_EQ(store.CipherKey(), "key");
  EXPECT_EQ(store.SectionPrefix(), " pre ");

  store.Open("\tkey.ini", "\tkey ");
  EXPECT_EQ(store.FilePath(), "\tkey.ini");
  EXPECT_EQ(store.CipherKey(), "\tkey");  // a tab is no space
  EXPECT_EQ(store.SectionPrefix(), "");

  store.SetDefaultSection("Mine");
  store.Open(" " + ini_ + " ");
  EXPECT_EQ(store.FilePath(), " " + ini_ + " ");
  EXPECT_EQ(store.CipherKey(), "");
  EXPECT_EQ(store.DefaultSection(), "Mine");  // Open leaves it alone

  store.Open("a.ini");
  EXPECT_EQ(store.FilePath(), "a.ini");
}

TEST_F(Scratch, ACopyIsIndependent) {
  config::ConfigStore store;
  store.Open(ini_, kKey, "p");
  store.SetDefaultSection("D");
  config::ConfigStore copy(store);
  store.Open(folder_ + "\\other.ini", "other", "q");
  store.SetDefaultSection("E");
  EXPECT_EQ(copy.FilePath(), ini_);
  EXPECT_EQ(copy.CipherKey(), kKey);
  EXPECT_EQ(copy.SectionPrefix(), "p");
  EXPECT_EQ(copy.DefaultSection(), "D");
  copy = store;
  EXPECT_EQ(copy.FilePath(), folder_ + "\\other.ini");
  EXPECT_EQ(copy.DefaultSection(), "E");
  const config::ConfigStore fresh;
  EXPECT_EQ(fresh.DefaultSection(), "System");
  EXPECT_EQ(fresh.FilePath(), "");
}

TEST_F(Scratch, StoredFoldersAreHexadecimalAndTheTagAndNothingElse) {
  config::ConfigStore store;
  store.Open(ini_, kKey);
  std::string section = "版本配置";
  ASSERT_TRUE(store.WriteItem(section, "版本二", "d:\\WeChat", true));
  ASSERT_TRUE(store.WriteItem(section, "版本一", "版"));
  EXPECT_EQ(ReadBytes(ini_), "[版本配置]\r\n版本二=6A3452596B4D666F7A" + std::string(kTag) +
                                 "\r\n版本一=BEE8" + kTag + "\r\n");
  EXPECT_EQ(store.ReadItem(section, "版本二", {}, true), "d:\\WeChat");
  EXPECT_EQ(store.ReadItem(section, "版本三", {}, true), "");
  EXPECT_EQ(section, "版本配置");
}

// The slot table as the window and the command line both store it: one item
// a slot, in 版本配置, under the slots' key; nothing for another number.
TEST_F(Scratch, EachSlotsFolderIsItsOwnItemUnderTheSlotsKey) {
  config::ConfigStore store;
  store.Open(ini_, config::kSlotStoreKey);
  EXPECT_FALSE(config::SaveSlotPath(store, 0, "d:\\WeChat"));
  EXPECT_FALSE(config::SaveSlotPath(store, 4, "d:\\WeChat"));
  EXPECT_FALSE(Exists(ini_));
  ASSERT_TRUE(config::SaveSlotPath(store, 2, "d:\\WeChat"));
  ASSERT_TRUE(config::SaveSlotPath(store, 1, "版"));
  EXPECT_EQ(ReadBytes(ini_), "[版本配置]\r\n版本二=6A3452596B4D666F7A" + std::string(kTag) +
                                 "\r\n版本一=BEE8" + kTag + "\r\n");
  EXPECT_EQ(config::ReadSlotPath(store, 2), "d:\\WeChat");
  EXPECT_EQ(config::ReadSlotPath(store, 1), "版");
  EXPECT_EQ(config::ReadSlotPath(store, 3), "");
  EXPECT_EQ(config::ReadSlotPath(store, 4), "");

  // Folders remembered under another key read as empty.
  store.Open(ini_, "another");
  EXPECT_EQ(config::ReadSlotPath(store, 2), "");
}

TEST_F(Scratch, ABlankSectionBecomesThePrefixedDefaultInTheCallersText) {
  config::ConfigStore store;
  store.Open(ini_, "", "Pre.");
  for (const std::string blank : {"", " ", "\xA1\xA1 "}) {
    std::string section = blank;
    ASSERT_TRUE(store.WriteItem(section, "k", "v"));
    EXPECT_EQ(section, "System");
    section = blank;
    EXPECT_EQ(store.ReadItem(section, "k"), "v");
    EXPECT_EQ(section, "System");
  }
  std::string spaced = " s ";
  ASSERT_TRUE(store.WriteItem(spaced, "k", "w"));
  EXPECT_EQ(spaced, " s ");
  store.SetDefaultSection(" 默 认\xA1\xA1区 ");
  EXPECT_EQ(store.DefaultSection(), "默认区");
  std::string section;
  ASSERT_TRUE(store.WriteItem(section, "k", "x"));
  EXPECT_EQ(section, "默认区");
  // The profile functions strip the spaces around a section name.
  EXPECT_EQ(ReadBytes(ini_), "[Pre.System]\r\nk=v\r\n[Pre. s]\r\nk=w\r\n[Pre.默认区]\r\nk=x\r\n");

  store.SetSectionPrefix("");
  EXPECT_EQ(store.SectionPrefix(), "");
  section = "Pre.System";
  EXPECT_EQ(store.ReadItem(section, "k"), "v");
}

TEST_F(Scratch, WritingWithoutAKeyOrWithoutAValueRemoves) {
  config::ConfigStore store;
  store.Open(ini_);
  std::string a = "A", b = "B";
  ASSERT_TRUE(store.WriteItem(a, "k1", "1"));
  ASSERT_TRUE(store.WriteItem(a, "k2", "2"));
  ASSERT_TRUE(store.WriteItem(b, "k1", "3"));

  EXPECT_TRUE(store.WriteItem(a, "k1"));  // value omitted: the item goes
  EXPECT_EQ(ReadBytes(ini_), "[A]\r\nk2=2\r\n[B]\r\nk1=3\r\n");
  EXPECT_EQ(store.ReadItem(a, "k1", "gone"), "gone");

  ASSERT_TRUE(store.WriteItem(a, "k1", ""));  // given but empty: written
  EXPECT_EQ(store.ReadItem(a, "k1", "gone"), "");

  for (const std::string key : {"", " ", "\xA1\xA1"}) {
    SCOPED_TRACE("key \"" + key + "\"");
    ASSERT_TRUE(store.WriteItem(a, "k3", "3"));
    EXPECT_TRUE(store.WriteItem(a, key, "value is not looked at"));  // the whole section goes
    EXPECT_EQ(ReadBytes(ini_), "[B]\r\nk1=3\r\n");
    EXPECT_EQ(store.ReadItem(a, "k2", "gone"), "gone");
  }
  EXPECT_TRUE(store.WriteItem(b));
  EXPECT_EQ(store.ReadItem(b, "k1", "gone"), "gone");
}

TEST_F(Scratch, TheCipherKeyIsChosenByTheStoresKeyTheFlagAndTheItemsName) {
  struct Case {
    const char* storeKey;
    bool useBuiltInKey;
    const char* itemKey;
    const char* tag;  // nullptr: plain text
  };
  const std::vector<Case> cases = {
      {kKey, false, "k", kTag},        {kKey, true, "k", kTag},
      {kKey, false, "User", kTag},     {"", true, "k", kBuiltInTag},
      {"", false, "User", kBuiltInTag}, {"", false, "Pass", kBuiltInTag},
      {"", false, "user", nullptr},    {"", false, "PASS", nullptr},
      {"", false, " User", nullptr},   {"", false, "k", nullptr},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    const config::ConfigStore store = FreshStore(cases[i].storeKey);
    std::string section = "S";
    ASSERT_TRUE(store.WriteItem(section, cases[i].itemKey, "secret", cases[i].useBuiltInKey));
    // The profile functions strip the space before " User" in the file.
    const std::string key = cases[i].itemKey[0] == ' ' ? cases[i].itemKey + 1 : cases[i].itemKey;
    const std::string stored =
        cases[i].tag ? std::string("7D6B6D7C6B7A") + cases[i].tag : std::string("secret");
    EXPECT_EQ(ReadBytes(ini_), "[S]\r\n" + key + "=" + stored + "\r\n");
    EXPECT_EQ(store.ReadItem(section, cases[i].itemKey, {}, cases[i].useBuiltInKey), "secret");
  }
}

TEST_F(Scratch, LineBreaksAreFoldedAndValuesTrimmed) {
  for (const char* key : {"", kKey}) {
    SCOPED_TRACE(std::string("key \"") + key + "\"");
    const config::ConfigStore store = FreshStore(key);
    std::string section = "S";
    ASSERT_TRUE(store.WriteItem(section, "k", " \xA1\xA1 a\r\nb\r\n \xA1\xA1"));
    const std::string folded = "a{#换行符}b{#换行符}";
    const std::string stored = *key ? cipher::EncodeValue(folded, key) : folded;
    EXPECT_EQ(ReadBytes(ini_), "[S]\r\nk=" + stored + "\r\n");
    EXPECT_EQ(store.ReadItem(section, "k"), "a\r\nb\r\n");
  }
  // Only CR LF is folded: under a key a lone CR or LF is kept in the
  // hexadecimal like any other byte.
  config::ConfigStore keyed;
  keyed.Open(ini_, kKey);
  std::string s = "S";
  ASSERT_TRUE(keyed.WriteItem(s, "k", "a\rb\nc"));
  EXPECT_EQ(keyed.ReadItem(s, "k"), "a\rb\nc");
  // Marker texts from elsewhere, and a default that holds one, unfold too.
  WriteBytes(ini_, "[S]\r\nk=1><br><2{#换行符}3\r\n");
  config::ConfigStore store;
  store.Open(ini_);
  std::string section = "S";
  EXPECT_EQ(store.ReadItem(section, "k"), "1\r\n2\r\n3");
  EXPECT_EQ(store.ReadItem(section, "absent", "x{#换行符}y"), "x\r\ny");
}

TEST_F(Scratch, ABlankValueIsRememberedAsCleared) {
  for (const char* key : {"", kKey}) {
    SCOPED_TRACE(std::string("key \"") + key + "\"");
    const config::ConfigStore store = FreshStore(key);
    std::string section = "S";
    ASSERT_TRUE(store.WriteItem(section, "k", "old"));
    ASSERT_TRUE(store.WriteItem(section, "k", "  "));
    EXPECT_EQ(ReadBytes(ini_), std::string("[S]\r\nk=") + (*key ? kTag : "") + "\r\n");
    EXPECT_EQ(store.ReadItem(section, "k", "default"), "");
  }
}

TEST_F(Scratch, ReadingFollowsItsRulesForEveryKindOfItem) {
  WriteBytes(ini_, "[S]\r\nabsent=" + kAbsent + "\r\nplain=p\r\nother=6F" + kBuiltInTag +
                       "\r\nmine=6F" + kTag + "\r\n[T]\r\nx=spaced\r\n");
  struct Case {
    const char* storeKey;
    const char* section;
    const char* key;
    const char* defaultValue;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {kKey, "S", "mine", "d", "a"},
      {kKey, "S", "other", "d", ""},     // the tag of another key
      {kKey, "S", "plain", "d", ""},     // no tag at all
      {kKey, "S", "absent", "d", "d"},   // ten bytes 0x01 are no value
      {kKey, "S", "missing", "d", "d"},  // not deciphered
      {"", "S", "missing", "d", "d"},
      {kKey, "Missing", "mine", "d", "d"},
      {"", "S", "plain", "d", "p"},
      {"", "S", "mine", "d", "6F9E0E5C281"},
      {"", "S", " \t\x01plain", "d", "p"},  // leading bytes 1 to 32 are skipped
      {"", "\x01\t T", "x", "d", "spaced"},
      {"", "S", "", "d", ""},               // a blank key reads nothing
      {"", "S", " \xA1\xA1", "d", ""},
      {"", "S", "\x01", "d", ""},           // nothing left to look up
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    config::ConfigStore store;
    store.Open(ini_, cases[i].storeKey);
    std::string section = cases[i].section;
    EXPECT_EQ(store.ReadItem(section, cases[i].key, cases[i].defaultValue), cases[i].expected);
  }
  // An empty composed section: nothing is looked up, the default not used.
  config::ConfigStore store;
  store.Open(ini_);
  store.SetDefaultSection(" ");
  std::string section;
  EXPECT_EQ(store.ReadItem(section, "plain", "d"), "");
}

TEST_F(Scratch, AStoreThatWasNeverOpenedTouchesNoFile) {
  const config::ConfigStore store;
  std::string section;
  EXPECT_EQ(store.ReadItem(section, "k", "default"), "default");
  EXPECT_EQ(section, "System");
  EXPECT_FALSE(store.WriteItem(section, "k", "v"));
  EXPECT_FALSE(store.WriteItem(section, "k"));
  EXPECT_FALSE(store.WriteItem(section));
  EXPECT_EQ(ReadBytes(platform::RunDirectory() + "\\Data\\Config.ini"), "<missing>");
}

TEST_F(Scratch, LongValuesAreReadCutTo10239Bytes) {
  config::ConfigStore store;
  store.Open(ini_);
  std::string section = "S";
  const std::string longest(10239, 'x');
  ASSERT_TRUE(store.WriteItem(section, "k", longest + "yz"));
  EXPECT_EQ(store.ReadItem(section, "k"), longest);

  store.Open(ini_, kKey);
  ASSERT_TRUE(store.WriteItem(section, "k", std::string(5115, 'v')));
  EXPECT_EQ(store.ReadItem(section, "k"), std::string(5115, 'v'));
  // One byte more and the tag no longer fits in what a read yields.
  ASSERT_TRUE(store.WriteItem(section, "k", std::string(5116, 'v')));
  EXPECT_EQ(store.ReadItem(section, "k", "d"), "");
}

TEST_F(Scratch, AHandEditedOrDamagedFileGivesEachReadItsRulesResult) {
  const std::string tag = kTag;
  std::string damaged = "[S]\r\n";
  damaged += "binary=\x02\x7F\xFF\x80\x1B\r\n";
  damaged += "lonelead=6F" + tag + "\x81\r\n";
  damaged += "long=" + std::string(20000, '7') + tag + "\r\n";  // cut before its tag
  damaged += "longplain=" + std::string(20000, 'z') + "\r\n";
  damaged += "lower=6f6c" + tag + "\r\n";
  damaged += "lowertag=6F" + std::string("9e0e5c281") + "\r\n";
  damaged += "othertag=6F" + std::string(kBuiltInTag) + "\r\n";
  damaged += "noequals\r\n";
  damaged += "\xFE\xFE\xFE=6F" + tag + "\r\n";
  damaged += "[S]\r\nlower=6D" + tag + "\r\nlast=6D" + tag + "\r\n";
  damaged += std::string(20000, '[') + "\r\n";
  damaged += "[\x81]\r\nx=6F" + tag + "\r\n";
  damaged += "[T]\r\nlast=6D" + tag;  // no line end at the end of the file
  WriteBytes(ini_, damaged);

  struct Case {
    const char* section;
    std::string key;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"S", "binary", ""},
      {"S", "lonelead", ""},  // the tag is not at the end
      {"S", "long", ""},
      {"S", "lower", "ab"},   // the first of two items of one name
      {"S", "lowertag", ""},
      {"S", "othertag", ""},
      {"S", "noequals", "d"},
      {"T", "last", "c"},
  };
  config::ConfigStore store;
  store.Open(ini_, kKey);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    std::string section = cases[i].section;
    EXPECT_EQ(store.ReadItem(section, cases[i].key, "d"), cases[i].expected);
  }
  std::string section = "S";
  store.Open(ini_);
  EXPECT_EQ(store.ReadItem(section, "longplain"), std::string(10239, 'z'));
  // What the profile functions make of lone lead bytes in names, and of a
  // section that repeats, is their own affair: these reads only must not fail.
  for (const char* s : {"\x81", "[", "S"}) {
    section = s;
    store.ReadItem(section, "x");
    store.ReadItem(section, "\xFE\xFE\xFE");
    store.ReadItem(section, "last");
  }
}

TEST_F(Scratch, WhereTheFileCannotBeWrittenOpenCompletesAndWritesYieldFalse) {
  // "Data" exists as a file where the folder should be.
  WriteBytes(folder_ + "\\Data", "not a folder");
  config::ConfigStore store;
  store.Open(folder_ + "\\Data\\Config.ini", kKey);
  std::string section = "S";
  EXPECT_FALSE(store.WriteItem(section, "k", "v"));
  EXPECT_EQ(store.ReadItem(section, "k", "d"), "d");
  EXPECT_EQ(ReadBytes(folder_ + "\\Data"), "not a folder");

  // A read-only file keeps every byte. Wine maps the attribute to the file's
  // Unix mode, which does not stop root (as tests may run), so the file is
  // also held open by another handle that lets others read but not write,
  // which stops a write on every system.
  store.Open(ini_, kKey);
  ASSERT_TRUE(store.WriteItem(section, "k", "v"));
  const std::string before = ReadBytes(ini_);
  ASSERT_TRUE(SetFileAttributesA(ini_.c_str(), FILE_ATTRIBUTE_READONLY));
  HANDLE holder = CreateFileA(ini_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(store.WriteItem(section, "k", "w"));
  EXPECT_FALSE(store.WriteItem(section, "k2", "w"));
  EXPECT_FALSE(store.WriteItem(section, "k"));
  EXPECT_FALSE(store.WriteItem(section));
  EXPECT_EQ(ReadBytes(ini_), before);
  EXPECT_EQ(store.ReadItem(section, "k"), "v");
  CloseHandle(holder);
  SetFileAttributesA(ini_.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(store.ReadItem(section, "k"), "v");
}

TEST_F(Scratch, AFolderWithChineseCharactersInItsPath) {
  const std::string file = folder_ + "\\微信 配置\\乗\\Config.ini";
  config::ConfigStore store;
  store.Open(file, kKey);
  EXPECT_TRUE(config::IsFolder(folder_ + "\\微信 配置\\乗"));
  std::string section = "版本配置";
  const std::string folder = "D:\\微信\\乗\\WeChat";
  ASSERT_TRUE(store.WriteItem(section, "版本一", folder, true));
  EXPECT_EQ(store.ReadItem(section, "版本一", {}, true), folder);
  EXPECT_EQ(ReadBytes(file),
            "[版本配置]\r\n版本一=" + cipher::EncodeValue(folder, kKey) + "\r\n");
}

// A window handler that runs while a value is enciphered (the cipher lets
// waiting messages through) and changes the texts the caller passed.
std::string* handedKey = nullptr;
std::string* handedValue = nullptr;

LRESULT CALLBACK ChangingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  if (msg != WM_APP) return DefWindowProcA(hwnd, msg, wp, lp);
  handedKey->assign(handedKey->size(), 'X');  // in place: a view would see it
  handedValue->assign(handedValue->size(), 'Y');
  return 0;
}

TEST_F(Scratch, AHandlerChangingTheCallersTextsDuringAWriteChangesNothing) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = ChangingProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "KorvalinConfigTest";
  RegisterClassA(&wc);
  HWND window = CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              wc.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  config::ConfigStore store;
  store.Open(ini_, kKey);
  std::string section = "S";
  std::string key = "版本一";
  std::string value = "D:\\WeChat";
  handedKey = &key;
  handedValue = &value;
  ASSERT_TRUE(PostMessageA(window, WM_APP, 0, 0));
  ASSERT_TRUE(store.WriteItem(section, key, value, true));
  EXPECT_EQ(key, "XXXXXX");  // the handler did run during the write
  EXPECT_EQ(ReadBytes(ini_),
            "[S]\r\n版本一=" + cipher::EncodeValue("D:\\WeChat", kKey) + "\r\n");
  DestroyWindow(window);
}

TEST_F(Scratch, TwoThreadsUsingOneStoreEndWithTheirLastValues) {
  config::ConfigStore store;
  store.Open(ini_, kKey);
  constexpr int kRounds = 60;
  std::atomic<int> mismatches{0};
  auto work = [&](const std::string& key) {
    std::string section = "版本配置";
    for (int i = 0; i < kRounds; ++i) {
      const std::string value = key + "-" + std::to_string(i);
      if (!store.WriteItem(section, key, value)) ++mismatches;
      if (store.ReadItem(section, key) != value) ++mismatches;
    }
  };
  std::thread background(work, "版本二");
  work("版本一");
  background.join();
  EXPECT_EQ(mismatches.load(), 0);
  std::string section = "版本配置";
  EXPECT_EQ(store.ReadItem(section, "版本一"), "版本一-" + std::to_string(kRounds - 1));
  EXPECT_EQ(store.ReadItem(section, "版本二"), "版本二-" + std::to_string(kRounds - 1));
}

}  // namespace
