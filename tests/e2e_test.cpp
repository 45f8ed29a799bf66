// The real korvalin.exe, copied into a scratch folder and driven from this
// process: its window comes up, Data is prepared beside it (no Config.ini
// before anything is saved), and closing it ends the process with code 0.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/folders.h"

namespace {

constexpr char kTitle[] = "【Dessaro】Korvalin-Ovr";

struct Found {
  DWORD pid;
  HWND window;
};

BOOL CALLBACK FindMainWindow(HWND h, LPARAM p) noexcept {
  auto* found = reinterpret_cast<Found*>(p);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  char title[64] = {};
  GetWindowTextA(h, title, sizeof title);
  // Visible only once its controls exist and its created event has run.
  if (pid != found->pid || !IsWindowVisible(h) || std::string(title) != kTitle) return TRUE;
  found->window = h;
  return FALSE;
}

HWND WaitForMainWindow(DWORD pid) {
  Found found{pid, nullptr};
  for (int i = 0; i < 2000 && !found.window; ++i) {
    EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&found));
    if (!found.window) Sleep(10);
  }
  return found.window;
}

bool IsDirectory(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

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
  const std::string exe = platform::RunDirectory() + "\\..\\app\\korvalin.exe";
  CopyFileA(exe.c_str(), (dir + "\\korvalin.exe").c_str(), FALSE);
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
    ASSERT_TRUE(CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               "C:\\", &si, &pi));
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

}  // namespace
