// The real korvalin.exe run as a process of its own and driven from the test
// as a user would: its main window found, its controls' texts read and its
// buttons clicked across processes, and closed as the user closes it.
#pragma once

#include <windows.h>

#include <string>

#include "dialog_driver.h"

namespace window_program {

inline constexpr char kTitle[] = "【Dessaro】Korvalin-Ovr";

struct Found {
  DWORD pid;
  HWND window;
};

inline BOOL CALLBACK FindMainWindow(HWND h, LPARAM p) noexcept {
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

inline HWND WaitForMainWindow(DWORD pid) {
  Found found{pid, nullptr};
  for (int i = 0; i < 2000 && !found.window; ++i) {
    EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&found));
    if (!found.window) Sleep(10);
  }
  return found.window;
}

// The window's controls in the order of its form, which is the order of its
// child windows.
namespace controls {
enum ControlIndex {
  kCurrentPathBox = 1,
  kBox1 = 3,
  kBrowse1 = 4,
  kUse1 = 5,
  kBox2 = 7,
  kBrowse2 = 8,
  kUse2 = 9,
  kBox3 = 11,
  kBrowse3 = 12,
  kUse3 = 13,
};
}  // namespace controls

inline HWND ControlAt(HWND window, int index) {
  HWND h = GetWindow(window, GW_CHILD);
  for (int i = 0; h && i < index; ++i) h = GetWindow(h, GW_HWNDNEXT);
  return h;
}

// Polls for up to ten seconds.
template <typename F>
bool WaitFor(F done) {
  for (int i = 0; i < 1000 && !done(); ++i) Sleep(10);
  return done();
}

// One run of korvalin.exe in a scratch folder.
class Program {
 public:
  explicit Program(const std::string& dir) {
    const std::string exe = dir + "\\korvalin.exe";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string cmd = "\"" + exe + "\"";
    if (CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &si,
                       &pi_)) {
      window_ = WaitForMainWindow(pi_.dwProcessId);
    }
  }
  ~Program() {
    if (pi_.hProcess) {
      TerminateProcess(pi_.hProcess, 99);
      CloseHandle(pi_.hThread);
      CloseHandle(pi_.hProcess);
    }
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  HWND Window() const { return window_; }
  DWORD Pid() const { return pi_.dwProcessId; }
  HANDLE Process() const { return pi_.hProcess; }
  HWND Control(int index) const { return ControlAt(window_, index); }
  std::string Text(int index) const { return drive::TextOf(Control(index)); }
  bool WaitForText(int index, const std::string& text) const {
    return WaitFor([&] { return Text(index) == text; });
  }
  // Posted, as a click that does not wait for its handler.
  void Click(int index) const { PostMessageA(Control(index), BM_CLICK, 0, 0); }

  // Closes the window; the process's exit code, or 99 when it did not end.
  DWORD Close() {
    PostMessageA(window_, WM_CLOSE, 0, 0);
    DWORD code = 99;
    if (WaitForSingleObject(pi_.hProcess, 20000) == WAIT_OBJECT_0) {
      GetExitCodeProcess(pi_.hProcess, &code);
    }
    return code;
  }

 private:
  PROCESS_INFORMATION pi_{};
  HWND window_ = nullptr;
};

}  // namespace window_program
