// What the platform layer itself decides: binding by name, the run directory,
// background tasks, buffer sizing around the raw Win32 calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/bind.h"
#include "platform/crypto.h"
#include "platform/folders.h"
#include "platform/gui/messages.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/threads.h"

namespace {

std::string ScratchFolder(const std::string& name) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string dir = std::string(temp) + "korvalin_platform_" + name;
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

TEST(Harness, RunsWithTheAnsiCodePage936) { EXPECT_EQ(GetACP(), 936u); }

TEST(Folders, RunDirectoryAndFileNameOfAnExeInAChineseFolder) {
  const std::string dir = ScratchFolder("运行目录");
  const std::string exe = dir + "\\测试程序.exe";
  ASSERT_TRUE(CopyFileA(platform::ExecutablePath().c_str(), exe.c_str(), FALSE));
  const std::string out = dir + "\\out.txt";
  DeleteFileA(out.c_str());

  std::string cmd = "\"" + exe + "\" --print-folders \"" + out + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &si, &pi));
  ASSERT_EQ(WaitForSingleObject(pi.hProcess, 30000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  EXPECT_EQ(code, 0u);
  // The child also made its run directory the current directory.
  EXPECT_EQ(ReadFile(out), dir + "\n测试程序.exe\n" + dir + "\n");
}

TEST(Folders, MakeSureDirectoryPathExistsAndPathIsDirectory) {
  const std::string base = ScratchFolder("mkdir");
  const std::string deep = base + "\\新建1\\new2\\";
  EXPECT_TRUE(platform::MakeSureDirectoryPathExists(deep));
  EXPECT_EQ(platform::QueryPathIsDirectory(base + "\\新建1\\new2"), 16);
  EXPECT_TRUE(platform::MakeSureDirectoryPathExists(deep));  // already there

  const std::string file = base + "\\file.txt";
  std::ofstream(file) << "x";
  EXPECT_EQ(platform::QueryPathIsDirectory(file), 0);
  EXPECT_EQ(platform::QueryPathIsDirectory(base + "\\missing"), 0);
  // A file standing where a folder must go.
  EXPECT_FALSE(platform::MakeSureDirectoryPathExists(file + "\\sub\\"));
}

TEST(Bind, FirstCallsFromManyThreadsAtOnceBindOneAddress) {
  std::vector<std::thread> threads;
  std::vector<void*> seen(8);
  std::atomic<int> ready{0};
  for (std::size_t i = 0; i < seen.size(); ++i) {
    threads.emplace_back([&, i] {
      ready.fetch_add(1);
      while (ready.load() < static_cast<int>(seen.size())) {
      }
      seen[i] = platform::BindFunction("shlwapi.dll", "PathFileExistsA");
    });
  }
  for (auto& t : threads) t.join();
  for (void* p : seen) {
    EXPECT_NE(p, nullptr);
    EXPECT_EQ(p, seen[0]);
  }
  EXPECT_EQ(seen[0], reinterpret_cast<void*>(
                         GetProcAddress(GetModuleHandleA("shlwapi.dll"), "PathFileExistsA")));
}

std::atomic<DWORD> taskThread{0};
HANDLE taskDone = nullptr;

void RecordTaskThread() {
  taskThread = GetCurrentThreadId();
  SetEvent(taskDone);
}

TEST(Threads, BackgroundTaskRunsOnAThreadOfItsOwn) {
  taskDone = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_TRUE(platform::StartBackgroundTask(RecordTaskThread));
  ASSERT_EQ(WaitForSingleObject(taskDone, 10000), WAIT_OBJECT_0);
  EXPECT_NE(taskThread.load(), 0u);
  EXPECT_NE(taskThread.load(), GetCurrentThreadId());
  CloseHandle(taskDone);
}

TEST(Profile, ReadCutsToTheBufferAndWriteRemoves) {
  const std::string file = ScratchFolder("profile") + "\\p.ini";
  DeleteFileA(file.c_str());
  EXPECT_EQ(platform::ReadPrivateProfile("s", "k", "dflt", 16, file.c_str()), "dflt");
  ASSERT_TRUE(platform::WritePrivateProfile("s", "k", "0123456789", file.c_str()));
  EXPECT_EQ(platform::ReadPrivateProfile("s", "k", "", 6, file.c_str()), "01234");
  EXPECT_EQ(platform::ReadPrivateProfile("s", "k", "", 1, file.c_str()), "");
  ASSERT_TRUE(platform::WritePrivateProfile("s", "k", nullptr, file.c_str()));
  EXPECT_EQ(platform::ReadPrivateProfile("s", "k", "gone", 16, file.c_str()), "gone");
}

TEST(Registry, ExpandEnvironmentStringsIsNeverCut) {
  const std::string value(5000, 'v');
  SetEnvironmentVariableA("KORVALIN_LONG", value.c_str());
  EXPECT_EQ(platform::ExpandEnvironmentText("%KORVALIN_LONG%\\x"), value + "\\x");
  // Two bytes a character in code page 936, where Wine reports one.
  std::string chinese;
  for (int i = 0; i < 1000; ++i) chinese += "微信";
  SetEnvironmentVariableA("KORVALIN_CHINESE", chinese.c_str());
  EXPECT_EQ(platform::ExpandEnvironmentText("%KORVALIN_CHINESE%\\版本"), chinese + "\\版本");
  EXPECT_EQ(platform::ExpandEnvironmentText("E:\\客户端"), "E:\\客户端");
  EXPECT_EQ(platform::ExpandEnvironmentText(""), "");
  EXPECT_EQ(platform::ExpandEnvironmentText("%KORVALIN_UNSET_VAR%"), "%KORVALIN_UNSET_VAR%");
}

// The system takes a text of at most 32K characters to expand; a longer
// one, which no folder can be, expands to nothing rather than to whatever
// the system makes of it (Wine returns bytes it never wrote).
TEST(Registry, ExpandEnvironmentStringsTakesAtMost32KCharacters) {
  SetEnvironmentVariableA("KORVALIN_SHORT", "短");
  // Each filler is its filling repeated to at least that many bytes; the
  // variable's name takes 16 more.
  struct Case {
    std::size_t filler;
    std::string filling;
    bool expands;
  } cases[] = {
      {32766 - 16, "a", true},  {32767 - 16, "a", false},  {100000, "a", false},
      {32766 - 16, "微", true}, {32767 - 16, "微", false}, {200000, "信\x81%", false},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    std::string filler;
    while (filler.size() < cases[i].filler) filler += cases[i].filling;
    const std::string source = "%KORVALIN_SHORT%" + filler;
    // The same every time, not whatever the memory held.
    for (int time = 0; time < 3; ++time) {
      const std::string expanded = platform::ExpandEnvironmentText(source);
      EXPECT_EQ(expanded, cases[i].expands ? "短" + filler : "") << expanded.size() << " bytes";
    }
  }
}

TEST(Registry, QueryCutsTheBufferToTheSizeRead) {
  const char* path = "Software\\KorvalinPlatformTest";
  RegDeleteTreeA(HKEY_CURRENT_USER, path);
  {
    platform::RegistryKey key = platform::CreateRegistryKey(platform::RegistryRoot::CurrentUser, path);
    ASSERT_TRUE(key.IsOpen());
    ASSERT_TRUE(platform::SetRegistryValue(key, "v", platform::kRegBinary, "ab\0c", 4));
    unsigned long type = 0, size = 0;
    ASSERT_TRUE(platform::QueryRegistryValueInfo(key, "v", &type, &size));
    EXPECT_EQ(type, platform::kRegBinary);
    EXPECT_EQ(size, 4u);
    std::string data(10, 'x');
    ASSERT_TRUE(platform::QueryRegistryValue(key, "v", &type, &data));
    EXPECT_EQ(data, std::string("ab\0c", 4));
    std::string small(2, 'x');
    EXPECT_FALSE(platform::QueryRegistryValue(key, "v", &type, &small));
  }
  EXPECT_FALSE(platform::OpenRegistryKey(platform::RegistryRoot::CurrentUser,
                                         "Software\\KorvalinNoSuchKey",
                                         platform::RegistryAccess::Read)
                   .IsOpen());
  RegDeleteTreeA(HKEY_CURRENT_USER, path);
}

TEST(Crypto, ContextAndHashGiveTheMd5OfAbc) {
  auto context = platform::CryptoContext::Acquire(nullptr, nullptr, platform::kProvRsaFull,
                                                  platform::kCryptVerifyContext);
  ASSERT_TRUE(context.IsValid());
  auto hash = platform::CryptoHash::Create(context, platform::kCalgMd5);
  ASSERT_TRUE(hash.IsValid());
  ASSERT_TRUE(hash.HashData(reinterpret_cast<const unsigned char*>("abc"), 3));
  unsigned char digest[16] = {};
  unsigned long size = sizeof digest;
  ASSERT_TRUE(hash.GetParam(platform::kHpHashVal, digest, &size));
  ASSERT_EQ(size, 16u);
  EXPECT_EQ(digest[0], 0x90);  // MD5("abc") = 900150983cd24fb0...
  EXPECT_EQ(digest[15], 0x72);
}

TEST(Messages, ProcessWaitingMessagesLeavesTheQuitMessageQueued) {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0);
  PostThreadMessageA(GetCurrentThreadId(), WM_QUIT, 7, 0);
  PostThreadMessageA(GetCurrentThreadId(), WM_APP + 1, 0, 0);
  platform::gui::ProcessWaitingMessages();
  // WM_APP was taken; the quit message and what follows it are still there.
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 7u);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_APP + 1));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--print-folders") {
    platform::SetCurrentDirectoryToRunDirectory();
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, cwd);
    std::ofstream out(argv[2], std::ios::binary);
    out << platform::RunDirectory() << "\n" << platform::ExecutableFileName() << "\n" << cwd << "\n";
    return 0;
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
