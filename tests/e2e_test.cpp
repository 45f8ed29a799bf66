// The real korvalin.exe, copied into a scratch folder and driven from this
// process as a user would: its window comes up, Data is prepared beside it
// (no Config.ini before anything is saved), Browse and Use work through the
// folder dialog and the confirmation, the registry value and the bytes of
// Config.ini are what they should be, what was picked comes back at the next
// start, and korvalin-cli sees the same folders. Closing the window ends the
// process with code 0.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "client_key.h"
#include "config_file.h"
#include "dialog_driver.h"
#include "platform/folders.h"
#include "window_program.h"

namespace {

using window_program::Program;
using window_program::WaitFor;
using window_program::WaitForMainWindow;
using namespace window_program::controls;

bool IsDirectory(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

using config_file::StoredFolder;

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A fresh folder holding a copy of the program (a Chinese name, as users have).
std::string PrepareScratchFolder(const std::string& name) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string dir = std::string(temp) + "korvalin_端到端_" + name;
  DeleteFileA((dir + "\\Data\\Config.ini").c_str());
  RemoveDirectoryA((dir + "\\Data").c_str());
  CreateDirectoryA(dir.c_str(), nullptr);
  for (const char* program : {"korvalin.exe", "korvalin-cli.exe"}) {
    const std::string built = platform::RunDirectory() + "\\..\\app\\" + program;
    CopyFileA(built.c_str(), (dir + "\\" + program).c_str(), FALSE);
  }
  return dir;
}

enum class Close { kEsc, kWmClose };

TEST(EndToEnd, StartsPreparesDataAndEndsWithZeroWhenClosed) {
  const struct {
    const char* name;
    Close how;
  } cases[] = {{"esc", Close::kEsc}, {"wm_close", Close::kWmClose}};

  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string dir = PrepareScratchFolder(c.name);
    const std::string exe = dir + "\\korvalin.exe";
    ASSERT_TRUE(Exists(exe));
    ASSERT_FALSE(Exists(dir + "\\Data"));

    // Started from another current directory: the program moves to its own.
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string cmd = "\"" + exe + "\"";
    ASSERT_TRUE(CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, "C:\\",
                               &si, &pi));
    const HWND window = WaitForMainWindow(pi.dwProcessId);
    EXPECT_TRUE(window);
    if (window) {
      EXPECT_TRUE(IsDirectory(dir + "\\Data"));
      EXPECT_FALSE(Exists(dir + "\\Data\\Config.ini"));
      if (c.how == Close::kEsc) {
        // To the control with the focus, as a key press would go.
        GUITHREADINFO gti{};
        gti.cbSize = sizeof gti;
        GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gti);
        const HWND target = gti.hwndFocus ? gti.hwndFocus : GetWindow(window, GW_CHILD);
        PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
      } else {
        PostMessageA(window, WM_CLOSE, 0, 0);
      }
    }
    const bool ended = WaitForSingleObject(pi.hProcess, 20000) == WAIT_OBJECT_0;
    EXPECT_TRUE(ended);
    if (!ended) TerminateProcess(pi.hProcess, 99);
    DWORD code = 99;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
}

// Browse on a slot, folder picked in the dialog; what the dialog showed.
std::vector<std::string> Pick(const Program& program, int browse, const std::string& folder) {
  program.Click(browse);
  const HWND dialog = drive::WaitForDialog(program.Pid(), drive::Kind::kFolderDialog);
  if (!dialog) return {"no folder dialog"};
  const std::vector<std::string> labels = drive::VisibleTexts(dialog, "Static");
  EXPECT_TRUE(drive::SelectInFolderDialog(dialog, folder));
  drive::Press(dialog, IDOK);
  EXPECT_TRUE(drive::WaitUntilGone(dialog));
  return labels;
}

// Use on a slot and OK on the confirmation; what the confirmation showed.
drive::MessageBoxSeen Use(const Program& program, int use) {
  program.Click(use);
  const HWND box = drive::WaitForDialog(program.Pid(), drive::Kind::kMessageBox);
  if (!box) return {};
  const drive::MessageBoxSeen seen = drive::Inspect(box);
  EXPECT_FALSE(IsWindowEnabled(program.Window())) << "task-modal";
  drive::Press(box, IDOK);
  EXPECT_TRUE(drive::WaitUntilGone(box));
  return seen;
}

// korvalin-cli.exe with the arguments; its standard output.
std::string RunCli(const std::string& dir, const std::string& arguments, DWORD* code) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  if (!CreatePipe(&read, &write, &inherit, 0)) return {};
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = write;
  si.hStdError = write;
  const std::string exe = dir + "\\korvalin-cli.exe";
  std::string cmd = "\"" + exe + "\" " + arguments;
  PROCESS_INFORMATION pi{};
  const BOOL started = CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, TRUE,
                                      DETACHED_PROCESS, nullptr, nullptr, &si, &pi);
  CloseHandle(write);
  std::string out;
  if (started) {
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(read, buffer, sizeof buffer, &n, nullptr) && n > 0) out.append(buffer, n);
    WaitForSingleObject(pi.hProcess, 30000);
    GetExitCodeProcess(pi.hProcess, code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  CloseHandle(read);
  return out;
}

class Slots : public testing::Test {
 protected:
  void SetUp() override {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    dir_ = PrepareScratchFolder(info->name());
    ini_ = dir_ + "\\Data\\Config.ini";
  }
  // A client folder beside the program (Chinese and a space, as users have).
  std::string MakeClient(const std::string& name) const {
    const std::string clients = dir_ + "\\客户端";
    CreateDirectoryA(clients.c_str(), nullptr);
    const std::string folder = clients + "\\" + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
  }

  client_key::Guard registry_;
  std::string dir_, ini_;
};

TEST_F(Slots, BrowseRemembersUseSwitchesAndTheNextStartShowsThePick) {
  const std::string client = MakeClient("微信 3.9");
  ASSERT_TRUE(client_key::Set(REG_SZ, "C:\\之前"));
  {
    Program program(dir_);
    ASSERT_TRUE(program.Window());
    EXPECT_TRUE(program.WaitForText(kCurrentPathBox, "C:\\之前"));
    // A first start: nothing remembered, the boxes lose the form's texts.
    for (const int box : {kBox1, kBox2, kBox3}) EXPECT_TRUE(program.WaitForText(box, "")) << box;

    EXPECT_EQ(Pick(program, kBrowse2, client), std::vector<std::string>{"选择微信目录"});
    EXPECT_TRUE(program.WaitForText(kBox2, client));
    const std::string expected = "[版本配置]\r\n版本二=" + StoredFolder(client) + "\r\n";
    EXPECT_TRUE(WaitFor([&] { return config_file::Bytes(ini_) == expected; }))
        << config_file::Bytes(ini_);

    const drive::MessageBoxSeen seen = Use(program, kUse2);
    EXPECT_EQ(seen.caption, "信息：");
    EXPECT_EQ(seen.texts, std::vector<std::string>{"切换成功"});
    EXPECT_EQ(seen.buttons.size(), 1u);
    EXPECT_TRUE(seen.okButton);
    EXPECT_EQ(seen.icons, 0);
    EXPECT_EQ(seen.owner, nullptr);
    EXPECT_TRUE(program.WaitForText(kCurrentPathBox, client));
    const client_key::Stored stored = client_key::Read();
    EXPECT_EQ(stored.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored.data, client_key::StoredForm(client));
    EXPECT_EQ(program.Close(), 0u);
  }
  {
    Program program(dir_);
    ASSERT_TRUE(program.Window());
    EXPECT_TRUE(program.WaitForText(kBox2, client));
    EXPECT_EQ(program.Text(kBox1), "");
    EXPECT_EQ(program.Text(kBox3), "");
    EXPECT_EQ(program.Text(kCurrentPathBox), client);
    EXPECT_EQ(program.Close(), 0u);
  }
}

// korvalin-cli keeps its folders in the same Data\Config.ini: each program
// sees what the other remembered.
TEST_F(Slots, TheWindowAndKorvalinCliShareTheRememberedFolders) {
  const std::string set = MakeClient("命令行设的");
  const std::string picked = MakeClient("窗口选的");
  DWORD code = 99;
  RunCli(dir_, "set 1 \"" + set + "\"", &code);
  ASSERT_EQ(code, 0u);
  {
    Program program(dir_);
    ASSERT_TRUE(program.Window());
    EXPECT_TRUE(program.WaitForText(kBox1, set));
    EXPECT_TRUE(program.WaitForText(kBox3, ""));
    Pick(program, kBrowse3, picked);
    EXPECT_TRUE(program.WaitForText(kBox3, picked));
    EXPECT_EQ(program.Close(), 0u);
  }
  const std::string status = RunCli(dir_, "status", &code);
  EXPECT_EQ(code, 0u);
  EXPECT_NE(status.find("  1 最新版  " + set + "  "), std::string::npos) << status;
  EXPECT_NE(status.find("  3 版本三  " + picked + "  "), std::string::npos) << status;
}

}  // namespace
