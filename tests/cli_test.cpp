// korvalin-cli.exe run as a launcher script runs it: a copy of the real exe in
// a scratch folder of its own (so its Data\Config.ini is a scratch file), fake
// client folders holding a WeChat.exe with a version resource, and the real
// HKCU\Software\Tencent\WeChat, saved before each test and put back after it
// (every test program of a run shares the prefix).
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "cli/client.h"
#include "cli/json.h"
#include "config/config_store.h"
#include "config/version_slots.h"
#include "platform/files.h"

#include "child_process.h"
#include "scratch_files.h"
#include "wechat_key.h"

namespace {

using namespace child;
using namespace wechat_key;
using scratch::Exists;
using scratch::ReadBytes;
using scratch::RemoveTree;
using scratch::WriteBytes;

const std::string kCliExe = WindowsPath(KORVALIN_CLI_EXE);
const std::string kFakeClientExe = WindowsPath(KORVALIN_FAKE_CLIENT_EXE);

// ---------------------------------------------------------------------------
// Running the program.

// The lines of a text, each without its CR LF.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  for (std::size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2) {
    lines.push_back(text.substr(at, end - at));
  }
  if (at < text.size()) lines.push_back(text.substr(at));
  return lines;
}

// The error line of a failure: exactly one line, naming the program.
void ExpectOneErrorLine(const Outcome& run) {
  EXPECT_EQ(run.err.rfind("korvalin-cli: ", 0), 0u) << run.err;
  ASSERT_GE(run.err.size(), 2u);
  EXPECT_EQ(run.err.substr(run.err.size() - 2), "\r\n");
  EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
}

// ---------------------------------------------------------------------------
// A scratch folder per test:
//   程序\korvalin-cli.exe     the program, with its Data\Config.ini beside it
//   客户端\微信 3.9\WeChat.exe  a client, version 3.9.5.81
//   客户端\空目录\             a folder without a client
//   客户端\旧版\WeChat.exe     a client without a version resource
class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteInstallPath();
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::string(temp) + "korvalin_cli_" + info->name();
    RemoveTree(root_);
    program_ = root_ + "\\程序";
    client_ = root_ + "\\客户端\\微信 3.9";
    empty_ = root_ + "\\客户端\\空目录";
    unversioned_ = root_ + "\\客户端\\旧版";
    for (const std::string& dir :
         {root_, program_, root_ + "\\客户端", client_, empty_, unversioned_}) {
      ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr)) << dir;
    }
    exe_ = program_ + "\\korvalin-cli.exe";
    ini_ = program_ + "\\Data\\Config.ini";
    ASSERT_TRUE(CopyFileA(kCliExe.c_str(), exe_.c_str(), FALSE)) << kCliExe;
    ASSERT_TRUE(CopyFileA(kFakeClientExe.c_str(), (client_ + "\\WeChat.exe").c_str(), FALSE))
        << kFakeClientExe;
    WriteBytes(unversioned_ + "\\WeChat.exe", "MZ, but no version resource");
  }
  void TearDown() override { RemoveTree(root_); }

  Outcome Run(const std::vector<std::string>& args, const std::string& directory = {}) const {
    return RunRaw(exe_, CommandTail(args), directory);
  }

  // The store the window opens beside the program: its default file there,
  // the slots' key.
  config::ConfigStore WindowStore() const {
    config::ConfigStore store;
    store.Open(ini_, config::kSlotStoreKey);
    return store;
  }
  void Remember(int slot, const std::string& folder) const {
    ASSERT_TRUE(config::SaveSlotPath(WindowStore(), slot, folder));
  }
  std::string Remembered(int slot) const { return config::ReadSlotPath(WindowStore(), slot); }

  RegistryKeeper keeper_;
  std::string root_, program_, client_, empty_, unversioned_, exe_, ini_;
};

// ---------------------------------------------------------------------------
// The rules, without the program.

TEST(Rules, VersionsAreOneToFourNumbersAndMatchOnTheirLeadingParts) {
  const platform::FileVersion found{{3, 9, 5, 81}};
  struct Case {
    const char* text;
    bool valid;
    bool matches;
  } cases[] = {
      {"3.9.5.81", true, true}, {"3.9.5", true, true},        {"3.9", true, true},
      {"3", true, true},        {"03.09", true, true},        {"3.90", true, false},
      {"3.9.5.8", true, false}, {"3.9.5.810", true, false},   {"4", true, false},
      {"65535", true, false},   {"65536", false, false},      {"99999999999", false, false},
      {"", false, false},       {"3.", false, false},         {".3", false, false},
      {"3..9", false, false},   {"3.9.5.81.0", false, false}, {"3.x", false, false},
      {" 3.9", false, false},   {"-3", false, false},         {"3,9", false, false},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(std::string("case ") + std::to_string(i) + ": " + cases[i].text);
    std::vector<unsigned> parts;
    EXPECT_EQ(cli::ParseVersion(cases[i].text, &parts), cases[i].valid);
    if (cases[i].valid) {
      EXPECT_EQ(cli::VersionMatches(found, parts), cases[i].matches);
    }
  }
}

TEST(Rules, FoldersCompareAsWindowsComparesPaths) {
  struct Case {
    const char* a;
    const char* b;
    bool same;
  } cases[] = {
      {"D:\\WeChat", "D:\\WeChat", true},
      {"d:\\wechat", "D:\\WECHAT", true},
      {"D:\\WeChat\\", "D:\\WeChat", true},
      {"D:\\WeChat\\\\", "d:\\wechat", true},
      {"D:\\微信\\版本二", "d:\\微信\\版本二\\", true},
      // Full-width letters have case too; GBK bytes alone cannot tell.
      {"D:\\ＷｅＣｈａｔ", "D:\\ｗｅｃｈａｔ", true},
      // 乗 ends in the byte 0x5C: it is no backslash to drop.
      {"D:\\乗", "D:\\乗\\", true},
      {"D:\\乗", "D:\\\x81", false},
      {"D:\\WeChat", "D:\\WeChat6", false},
      {"D:\\WeChat", "D:\\WeChat ", false},
      {"D:\\微信", "D:\\微博", false},
      {"", "", false},
      {"D:\\WeChat", "", false},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    EXPECT_EQ(cli::SameFolder(cases[i].a, cases[i].b), cases[i].same);
    EXPECT_EQ(cli::SameFolder(cases[i].b, cases[i].a), cases[i].same);
  }
}

TEST(Rules, JsonStringsArePlainAscii) {
  struct Case {
    const char* ansi;
    const char* json;
  } cases[] = {
      {"", "\"\""},
      {"D:\\Program Files (x86)\\Tencent\\WeChat",
       "\"D:\\\\Program Files (x86)\\\\Tencent\\\\WeChat\""},
      {"a\"b", "\"a\\\"b\""},
      {"\t\x01\x7F", "\"\\u0009\\u0001\\u007f\""},
      {"E:\\微信\\版本二", "\"E:\\\\\\u5fae\\u4fe1\\\\\\u7248\\u672c\\u4e8c\""},
      {"ｗ", "\"\\uff57\""},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    EXPECT_EQ(cli::JsonString(cases[i].ansi), cases[i].json);
  }
}

// ---------------------------------------------------------------------------
// The commands.

TEST_F(Cli, SetRemembersAFolderTheWindowReadsAndUseSwitchesToIt) {
  Outcome run = Run({"set", "1", client_});
  EXPECT_EQ(run.code, 0u) << run.err;
  EXPECT_EQ(run.out, "槽 1（最新版） 已记住 " + client_ + "\r\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(Remembered(1), client_);

  run = Run({"use", "1"});
  EXPECT_EQ(run.code, 0u) << run.err;
  EXPECT_EQ(run.out, "已切换到 " + client_ + "（微信 3.9.5.81）\r\n");
  EXPECT_EQ(InstallPathValue(), Text(client_));

  run = Run({"current"});
  EXPECT_EQ(run.code, 0u);
  EXPECT_EQ(run.out, client_ + "\r\n");

  run = Run({"check", "--expect", "3.9"});
  EXPECT_EQ(run.code, 0u) << run.err;
  EXPECT_EQ(run.out, "微信 3.9.5.81：" + client_ + "\r\n");
}

TEST_F(Cli, UseAFolderWritesItsFullPathAndChecksForAClient) {
  Outcome run = Run({"use", client_});
  EXPECT_EQ(run.code, 0u) << run.err;
  EXPECT_EQ(InstallPathValue(), Text(client_));

  // Relative to the caller's current directory, written as a full path: the
  // value must name the folder for every program that reads it.
  run = Run({"use", "..\\微信 3.9"}, empty_);
  EXPECT_EQ(run.code, 0u) << run.err;
  EXPECT_EQ(InstallPathValue(), Text(client_));

  run = Run({"use", "."}, empty_);
  EXPECT_EQ(run.code, 4u);
  EXPECT_EQ(InstallPathValue(), Text(client_));

  // --force switches to a folder without a client, even to one that is not
  // there (yet).
  run = Run({"use", ".", "--force"}, empty_);
  EXPECT_EQ(run.code, 0u) << run.err;
  EXPECT_EQ(run.out, "已切换到 " + empty_ + "\r\n");
  EXPECT_EQ(InstallPathValue(), Text(empty_));
  run = Run({"--force", "use", root_ + "\\以后"});
  EXPECT_EQ(run.code, 0u) << run.err;
  EXPECT_EQ(InstallPathValue(), Text(root_ + "\\以后"));
}

TEST_F(Cli, SetResolvesRelativeFoldersAndForceRemembersAMissingOne) {
  Outcome run = Run({"set", "3", "."}, client_);
  EXPECT_EQ(run.code, 0u) << run.err;
  EXPECT_EQ(Remembered(3), client_);

  run = Run({"set", "2", root_ + "\\以后"});
  EXPECT_EQ(run.code, 4u);
  EXPECT_EQ(Remembered(2), "");
  run = Run({"set", "2", root_ + "\\以后", "--force"});
  EXPECT_EQ(run.code, 0u) << run.err;
  EXPECT_EQ(Remembered(2), root_ + "\\以后");
  EXPECT_EQ(Remembered(3), client_);
}

TEST_F(Cli, StatusShowsEachSlotItsClientAndTheActiveOne) {
  Remember(1, client_);
  Remember(2, empty_);
  Remember(3, unversioned_);
  SetInstallPath(client_);
  const Outcome run = Run({});
  EXPECT_EQ(run.code, 0u) << run.err;
  EXPECT_EQ(run.out, "当前版本路径：" + client_ + "\r\n" + "* 1 最新版  " + client_ +
                         "  [微信 3.9.5.81]\r\n" + "  2 版本二  " + empty_ +
                         "  [没有 WeChat.exe]\r\n" + "  3 版本三  " + unversioned_ +
                         "  [WeChat.exe 没有版本信息]\r\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(Run({"status"}).out, run.out);
}

TEST_F(Cli, StatusOfAFirstRunShowsNothingSet) {
  const Outcome run = Run({"status"});
  EXPECT_EQ(run.code, 0u) << run.err;
  EXPECT_EQ(run.out,
            "当前版本路径：（未设置）\r\n"
            "  1 最新版  （未设置）\r\n"
            "  2 版本二  （未设置）\r\n"
            "  3 版本三  （未设置）\r\n");
  // As the window does, opening the store makes the Data folder, no file.
  EXPECT_TRUE(Exists(program_ + "\\Data"));
  EXPECT_FALSE(Exists(ini_));
}

TEST_F(Cli, TheActiveSlotIsTheOneWhoseFolderWindowsTakesForTheValue) {
  Remember(1, client_);
  Remember(2, empty_);
  Remember(3, client_ + "\\");
  std::string upper = client_;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  struct Case {
    std::optional<std::string> installPath;
    std::string marks;  // the first byte of each slot's line
    bool notInASlot;
  } cases[] = {
      {client_, "* *", false},
      {upper + "\\", "* *", false},
      {empty_ + "\\\\", " * ", false},
      {client_ + "x", "   ", true},
      {client_.substr(0, client_.size() - 1), "   ", true},
      {std::nullopt, "   ", false},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    if (cases[i].installPath) {
      SetInstallPath(*cases[i].installPath);
    } else {
      DeleteInstallPath();
    }
    const Outcome run = Run({});
    ASSERT_EQ(run.code, 0u) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), cases[i].notInASlot ? 5u : 4u) << run.out;
    for (int slot = 0; slot < 3; ++slot) EXPECT_EQ(lines[1 + slot][0], cases[i].marks[slot]);
    if (cases[i].notInASlot) {
      EXPECT_EQ(lines[4], "（当前版本路径不是任何一个槽的目录）");
    }
  }
}

// The JSON in full: keys, order, types, and \u escapes for every Chinese
// character, so that it is plain ASCII whatever the code page.
TEST_F(Cli, JsonGivesTheSameForScripts) {
  const std::string base = root_ + "\\";
  for (const char c : base)
    ASSERT_LT(static_cast<unsigned char>(c), 0x80) << "an ASCII temp folder";
  std::string escapedBase;
  for (const char c : base) escapedBase += c == '\\' ? std::string("\\\\") : std::string(1, c);
  const std::string client = escapedBase + "\\u5ba2\\u6237\\u7aef\\\\\\u5fae\\u4fe1 3.9";
  const std::string empty = escapedBase + "\\u5ba2\\u6237\\u7aef\\\\\\u7a7a\\u76ee\\u5f55";
  Remember(1, client_);
  Remember(2, empty_);
  SetInstallPath(empty_);

  Outcome run = Run({"--json"});
  EXPECT_EQ(run.code, 0u) << run.err;
  EXPECT_EQ(run.out,
            "{\r\n"
            "  \"installPath\": \"" +
                empty +
                "\",\r\n"
                "  \"activeSlot\": 2,\r\n"
                "  \"slots\": [\r\n"
                "    {\"slot\": 1, \"label\": \"\\u6700\\u65b0\\u7248\", \"folder\": \"" +
                client +
                "\", \"client\": true, \"version\": \"3.9.5.81\", \"active\": false},\r\n"
                "    {\"slot\": 2, \"label\": \"\\u7248\\u672c\\u4e8c\", \"folder\": \"" +
                empty +
                "\", \"client\": false, \"version\": null, \"active\": true},\r\n"
                "    {\"slot\": 3, \"label\": \"\\u7248\\u672c\\u4e09\", \"folder\": \"\", "
                "\"client\": false, \"version\": null, \"active\": false}\r\n"
                "  ]\r\n"
                "}\r\n");
  EXPECT_EQ(Run({"status", "--json"}).out, run.out);

  DeleteInstallPath();
  run = Run({"status", "--json"});
  EXPECT_NE(run.out.find("\"installPath\": \"\",\r\n  \"activeSlot\": null,"), std::string::npos)
      << run.out;
}

TEST_F(Cli, UseChangesOnlyTheInstallPathValue) {
  Remember(2, client_);
  // An expandable value is replaced by a plain text value; the key's other
  // values stay as they are.
  SetWeChatValue("InstallPath", REG_EXPAND_SZ, std::string("%SystemRoot%\\微信") + '\0');
  SetWeChatValue("Version", REG_DWORD, std::string("\x51\x05\x09\x63", 4));
  SetWeChatValue("Other", REG_SZ, std::string("D:\\旧的") + '\0');
  const std::string iniBefore = ReadBytes(ini_);
  RegistryValues expected = *WeChatValues();
  expected["InstallPath"] = Text(client_);

  const Outcome run = Run({"use", "2"});
  EXPECT_EQ(run.code, 0u) << run.err;
  EXPECT_EQ(WeChatValues(), expected);
  EXPECT_EQ(ReadBytes(ini_), iniBefore);
}

TEST_F(Cli, SetChangesOnlyTheSlotsItemInTheFile) {
  Remember(1, client_);
  Remember(2, client_);
  Remember(3, empty_);
  {
    config::ConfigStore store = WindowStore();
    std::string section = "System";
    ASSERT_TRUE(store.WriteItem(section, "Other", "kept"));
  }
  const std::string before = ReadBytes(ini_);
  SetInstallPath(client_);
  const std::optional<RegistryValues> registryBefore = WeChatValues();

  const Outcome run = Run({"set", "2", unversioned_});
  EXPECT_EQ(run.code, 0u) << run.err;
  const std::vector<std::string> linesBefore = Lines(before);
  const std::vector<std::string> linesAfter = Lines(ReadBytes(ini_));
  ASSERT_EQ(linesAfter.size(), linesBefore.size());
  int changed = 0;
  for (std::size_t i = 0; i < linesBefore.size(); ++i) {
    if (linesAfter[i] == linesBefore[i]) continue;
    ++changed;
    EXPECT_EQ(linesBefore[i].rfind("版本二=", 0), 0u) << linesBefore[i];
    EXPECT_EQ(linesAfter[i].rfind("版本二=", 0), 0u) << linesAfter[i];
  }
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(Remembered(1), client_);
  EXPECT_EQ(Remembered(2), unversioned_);
  EXPECT_EQ(Remembered(3), empty_);
  EXPECT_EQ(WeChatValues(), registryBefore);
}

TEST_F(Cli, EveryFailureHasItsCodeAndOneLineNamingTheFolder) {
  Remember(1, client_);
  Remember(2, empty_);
  const std::string missing = root_ + "\\没有这个目录";
  struct Case {
    std::optional<std::string> installPath;
    std::vector<std::string> args;
    DWORD code;
    std::string named;  // what the error line must mention
  } cases[] = {
      {client_, {"use", "3"}, 3, "槽 3（版本三）"},
      {client_, {"use", missing}, 4, missing},
      {client_, {"use", empty_}, 4, empty_},
      {client_, {"use", "2"}, 4, empty_},
      {client_, {"set", "3", missing}, 4, missing},
      {std::nullopt, {"current"}, 4, "InstallPath"},
      {std::nullopt, {"check", "--expect", "3.9"}, 4, "InstallPath"},
      {empty_, {"check", "--expect", "3.9"}, 4, empty_},
      {client_, {"check", "--expect", "3.8"}, 7, client_},
      {client_, {"check", "--expect", "3.9.5.810"}, 7, "3.9.5.81"},
      {unversioned_, {"check", "--expect", "3.9"}, 7, unversioned_},
  };
  const std::string iniBefore = ReadBytes(ini_);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i) + ":" + CommandTail(cases[i].args));
    if (cases[i].installPath) {
      SetInstallPath(*cases[i].installPath);
    } else {
      DeleteInstallPath();
    }
    const std::optional<RegistryValues> registryBefore = WeChatValues();
    const Outcome run = Run(cases[i].args);
    EXPECT_EQ(run.code, cases[i].code) << run.err;
    EXPECT_EQ(run.out, "");
    ExpectOneErrorLine(run);
    EXPECT_NE(run.err.find(cases[i].named), std::string::npos) << run.err;
    EXPECT_EQ(WeChatValues(), registryBefore);
    EXPECT_EQ(ReadBytes(ini_), iniBefore);
  }
}

TEST_F(Cli, UsageErrorsChangeNothing) {
  Remember(1, client_);
  SetInstallPath(client_);
  const std::vector<std::string> cases[] = {
      {"swap"},
      {"use"},
      {"use", "1", "2"},
      {"use", "0"},
      {"use", "4"},
      {"use", ""},
      {"set", "1"},
      {"set", "4", client_},
      {"set", "一", client_},
      {"set", "1", "  "},
      {"check"},
      {"check", "3.9"},
      {"check", "--expect"},
      {"check", "--expect", "3.9.x"},
      {"current", "--json"},
      {"status", "--force"},
      {"use", "1", "--expect", "3.9"},
      {"status", "now"},
      {"--jsn"},
  };
  const std::string iniBefore = ReadBytes(ini_);
  const std::optional<RegistryValues> registryBefore = WeChatValues();
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i) + ":" + CommandTail(cases[i]));
    const Outcome run = Run(cases[i]);
    EXPECT_EQ(run.code, 2u) << run.err;
    EXPECT_EQ(run.out, "");
    ExpectOneErrorLine(run);
  }
  // A quoted folder ending in a backslash: the C runtime takes \" for a
  // quote inside the argument, and the folder would arrive as 微信 3.9".
  const Outcome run = RunRaw(exe_, " use \"" + client_ + "\\\"");
  EXPECT_EQ(run.code, 2u) << run.err;
  ExpectOneErrorLine(run);
  EXPECT_EQ(WeChatValues(), registryBefore);
  EXPECT_EQ(ReadBytes(ini_), iniBefore);
}

TEST_F(Cli, ARegistryThatRefusesTheWriteExitsWith5) {
  Remember(1, client_);
  SetInstallPath(empty_);
  Outcome run;
  {
    KeyAccessDenial denial(kWeChatKey, KEY_SET_VALUE);
    // The registry must really refuse, or this case proves nothing.
    HKEY probe = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kWeChatKey, 0, KEY_WRITE, &probe),
              ERROR_ACCESS_DENIED);
    run = Run({"use", "1"});
  }
  EXPECT_EQ(run.code, 5u);
  EXPECT_EQ(run.out, "");
  ExpectOneErrorLine(run);
  EXPECT_NE(run.err.find(client_), std::string::npos) << run.err;
  EXPECT_EQ(InstallPathValue(), Text(empty_));
}

TEST_F(Cli, AFileThatCannotBeWrittenExitsWith6) {
  // "Data" is a file where the folder should be.
  WriteBytes(program_ + "\\Data", "not a folder");
  const Outcome run = Run({"set", "1", client_});
  EXPECT_EQ(run.code, 6u);
  EXPECT_EQ(run.out, "");
  ExpectOneErrorLine(run);
  EXPECT_NE(run.err.find(client_), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(ini_), std::string::npos) << run.err;
  EXPECT_EQ(ReadBytes(program_ + "\\Data"), "not a folder");
}

TEST_F(Cli, HelpAndVersion) {
  Outcome run = Run({"--version"});
  EXPECT_EQ(run.code, 0u);
  EXPECT_EQ(run.out, "korvalin-cli 1.0.0.1\r\n");
  // The same as the exe's own version resource.
  platform::FileVersion own{};
  ASSERT_TRUE(platform::ReadFileVersion(exe_, &own));
  EXPECT_EQ(cli::VersionText(own), "1.0.0.1");

  run = Run({"--help"});
  EXPECT_EQ(run.code, 0u);
  for (const char* word : {"status", "--json", "current", "use", "set", "check", "--expect",
                           "--force", "7 版本不符"}) {
    EXPECT_NE(run.out.find(word), std::string::npos) << word;
  }
  EXPECT_EQ(Run({"use", "--help"}).out, run.out);
}

// ---------------------------------------------------------------------------
// Chinese folders on the console and through a pipe.

// What the first rows of the console's screen show, a long line wrapped
// onto the next row read as one, trailing spaces dropped.
std::wstring ScreenText(HANDLE console) {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  GetConsoleScreenBufferInfo(console, &info);
  std::wstring text(4 * static_cast<std::size_t>(info.dwSize.X), L' ');
  DWORD read = 0;
  ReadConsoleOutputCharacterW(console, text.data(), static_cast<DWORD>(text.size()), {0, 0}, &read);
  text.resize(read);
  text.erase(text.find_last_not_of(L' ') + 1);
  return text;
}

std::wstring Wide(const std::string& ansi) {
  std::wstring wide(ansi.size(), L'\0');
  wide.resize(static_cast<std::size_t>(
      MultiByteToWideChar(936, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(),
                          static_cast<int>(wide.size()))));
  return wide;
}

std::string Utf8(const std::string& ansi) {
  const std::wstring wide = Wide(ansi);
  std::string utf8(wide.size() * 3, '\0');
  utf8.resize(static_cast<std::size_t>(
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(),
                          static_cast<int>(utf8.size()), nullptr, nullptr)));
  return utf8;
}

TEST_F(Cli, ChineseOnConsoleAndPipe) {
  SetInstallPath(client_);
  // No console: the ANSI bytes, code page 936.
  Outcome run = Run({"current"});
  EXPECT_EQ(run.out, client_ + "\r\n");

  for (const UINT codePage : {936u, 65001u}) {
    SCOPED_TRACE("console code page " + std::to_string(codePage));
    FreeConsole();
    ASSERT_TRUE(AllocConsole());
    ASSERT_TRUE(SetConsoleOutputCP(codePage));
    HANDLE console =
        CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(console, INVALID_HANDLE_VALUE);
    SetHandleInformation(console, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);

    // Output on the console shows the characters, whatever its code page.
    run = RunRaw(exe_, " current", {}, 0, console);
    EXPECT_EQ(run.code, 0u) << run.err;
    EXPECT_EQ(ScreenText(console), Wide(client_));

    // A pipe from a program with a console gets that console's code page,
    // what cmd's for /f and PowerShell decode it with.
    run = RunRaw(exe_, " current", {}, 0);
    EXPECT_EQ(run.out, (codePage == 936 ? client_ : Utf8(client_)) + "\r\n");

    CloseHandle(console);
    FreeConsole();
  }
}

}  // namespace
