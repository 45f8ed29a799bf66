// Start-up, switch and memory of korvalin.exe against the floor, measured
// from outside as the user's other programs see them: each program is started
// with CreateProcess from a scratch copy and watched through its windows
// (FindWindow by title, WM_GETTEXT of the boxes, BM_CLICK on a Use button,
// the confirmation box found by class and caption) and through the registry.
// Prints the rows of a Markdown table; scripts/bench.sh adds the rest.
//
//   window_bench.exe [--runs N] [--programs FOLDER]
//
// FOLDER holds korvalin.exe and floor_window.exe (scripts/bench.sh passes
// stripped copies, as the programs ship); by default both come from this
// build tree. HKCU\Software\Tencent\WeChat is saved first and restored at
// the end, also on Ctrl+C and on failure, and the scratch folder is removed:
// a run leaves the user's settings as they were.
#include <windows.h>
#include <mmsystem.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "config/config_store.h"
#include "config/version_slots.h"
#include "platform/folders.h"

namespace {

constexpr char kTitle[] = "【Dessaro】Korvalin-Ovr";
constexpr char kConfirmCaption[] = "信息：";
constexpr char kConfirmText[] = "切换成功";
constexpr char kUseText[] = "使用";
constexpr char kParentKeyPath[] = "Software\\Tencent";
constexpr char kKeyPath[] = "Software\\Tencent\\WeChat";
constexpr char kValueName[] = "InstallPath";
constexpr DWORD kTimeoutMs = 20000;
// Both programs are left this long after start-up before their private
// bytes are read, so that what start-up set in motion has settled.
constexpr DWORD kSettleMs = 300;

// The value before every start of korvalin.exe, and the three remembered
// folders (Chinese names among them, as users have).
constexpr char kStartValue[] = "C:\\Program Files\\Tencent\\WeChat";
constexpr const char* kSlotFolders[3] = {
    "D:\\微信\\WeChat 3.9.12.51",
    "D:\\Program Files (x86)\\Tencent\\WeChat 3.9.5.81",
    "E:\\客户端\\旧版\\WeChat 3.6.0.18",
};

// The floor's boxes keep the texts of the form.
constexpr const char* kFormBoxTexts[4] = {
    "",
    "d:\\Program Files (x86)\\Tencent\\WeChat",
    "d:\\Program Files (x86)\\Tencent\\WeChat6",
    "d:\\Program Files (x86)\\Tencent\\WeChat6",
};

// <chrono> does not compile with a GBK execution character set (libstdc++
// spells the micro sign in a literal), so QueryPerformanceCounter it is.
double NowMs() {
  static const double perMs = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / perMs;
}

[[noreturn]] void Fail(const char* what);

// ---- HKCU\Software\Tencent\WeChat, saved and restored ------------------------

struct SavedValue {
  std::string name;
  DWORD type;
  std::vector<BYTE> data;
};

struct SavedKey {
  bool saved = false;
  bool parentExisted = false;
  bool keyExisted = false;
  std::vector<SavedValue> values;
};

SavedKey savedKey;

bool KeyExists(const char* path) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// The names of the key's values.
std::vector<std::string> ValueNames(HKEY key) {
  std::vector<std::string> names;
  for (DWORD i = 0;; ++i) {
    char name[16384];
    DWORD size = sizeof name;
    if (RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      return names;
    }
    names.emplace_back(name, size);
  }
}

void SaveKey() {
  savedKey.parentExisted = KeyExists(kParentKeyPath);
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &key) == ERROR_SUCCESS) {
    savedKey.keyExisted = true;
    for (const std::string& name : ValueNames(key)) {
      DWORD type = 0, size = 0;
      if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        continue;
      }
      SavedValue v{name, type, std::vector<BYTE>(size)};
      if (RegQueryValueExA(key, name.c_str(), nullptr, &type, v.data.data(), &size) ==
          ERROR_SUCCESS) {
        v.data.resize(size);
        savedKey.values.push_back(std::move(v));
      }
    }
    RegCloseKey(key);
  }
  savedKey.saved = true;
}

// Every value the key had comes back and any other goes; the key, and its
// parent, go when they did not exist before.
void RestoreKey() {
  if (!savedKey.saved) return;
  savedKey.saved = false;
  if (!savedKey.keyExisted) {
    RegDeleteKeyA(HKEY_CURRENT_USER, kKeyPath);
    if (!savedKey.parentExisted) RegDeleteKeyA(HKEY_CURRENT_USER, kParentKeyPath);
    return;
  }
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) {
    std::fprintf(stderr, "window_bench: could not restore HKCU\\%s\n", kKeyPath);
    return;
  }
  for (const std::string& name : ValueNames(key)) {
    if (std::none_of(savedKey.values.begin(), savedKey.values.end(),
                     [&](const SavedValue& v) { return v.name == name; })) {
      RegDeleteValueA(key, name.c_str());
    }
  }
  for (const SavedValue& v : savedKey.values) {
    RegSetValueExA(key, v.name.c_str(), 0, v.type, v.data.data(),
                   static_cast<DWORD>(v.data.size()));
  }
  RegCloseKey(key);
}

void SetInstallPath(const char* text) {
  HKEY key;
  if (RegCreateKeyA(HKEY_CURRENT_USER, kKeyPath, &key) != ERROR_SUCCESS) Fail("creating the key");
  const LONG r = RegSetValueExA(key, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                static_cast<DWORD>(std::strlen(text) + 1));
  RegCloseKey(key);
  if (r != ERROR_SUCCESS) Fail("setting InstallPath");
}

std::string InstallPath(HKEY key) {
  char data[2048] = {};
  DWORD size = sizeof data - 1;
  if (RegQueryValueExA(key, kValueName, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) !=
      ERROR_SUCCESS) {
    return {};
  }
  return data;
}

// ---- The scratch folder -------------------------------------------------------

std::string scratch;
HANDLE running = nullptr;  // the program started last, until it has ended

void RemoveScratch() {
  if (scratch.empty()) return;
  DeleteFileA((scratch + "\\Data\\Config.ini").c_str());
  RemoveDirectoryA((scratch + "\\Data").c_str());
  // A program that has only just ended may still have its image mapped for
  // a moment, which keeps the file from being deleted.
  for (const char* exe : {"\\korvalin.exe", "\\floor_window.exe"}) {
    const std::string path = scratch + exe;
    for (int i = 0; i < 100 && !DeleteFileA(path.c_str()) &&
                    GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
         ++i) {
      Sleep(20);
    }
  }
  if (!RemoveDirectoryA(scratch.c_str())) {
    std::fprintf(stderr, "window_bench: could not remove %s\n", scratch.c_str());
  }
  scratch.clear();
}

void CleanUp() {
  if (running) {
    TerminateProcess(running, 99);  // its copy could not be removed
    WaitForSingleObject(running, kTimeoutMs);
    running = nullptr;
  }
  RestoreKey();
  RemoveScratch();
}

BOOL WINAPI OnConsoleControl(DWORD) noexcept {
  CleanUp();
  return FALSE;  // and let the process end
}

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "\nwindow_bench: %s failed\n", what);
  CleanUp();
  std::exit(1);
}

// Copies both programs into a fresh folder and gives korvalin.exe its
// Data\Config.ini: the three folders, enciphered exactly as the program
// itself remembers them.
void PrepareScratch(const std::string& korvalinExe, const std::string& floorExe) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  scratch = std::string(temp) + "korvalin_bench_" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(scratch.c_str(), nullptr);
  if (!CopyFileA(korvalinExe.c_str(), (scratch + "\\korvalin.exe").c_str(), FALSE) ||
      !CopyFileA(floorExe.c_str(), (scratch + "\\floor_window.exe").c_str(), FALSE)) {
    Fail("copying the programs");
  }
  config::ConfigStore store;
  store.Open(scratch + "\\Data\\Config.ini", config::kSlotStoreKey);
  for (int slot = 1; slot <= 3; ++slot) {
    if (!config::SaveSlotPath(store, slot, kSlotFolders[slot - 1]) ||
        config::ReadSlotPath(store, slot) != kSlotFolders[slot - 1]) {
      Fail("writing Config.ini");
    }
  }
}

// ---- Watching from outside ----------------------------------------------------

struct Started {
  PROCESS_INFORMATION pi{};
  double startMs = 0;
};

Started Start(const char* exeName) {
  const std::string exe = scratch + "\\" + exeName;
  std::string cmd = "\"" + exe + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  Started s;
  s.startMs = NowMs();
  if (!CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      scratch.c_str(), &si, &s.pi)) {
    Fail("CreateProcess");
  }
  running = s.pi.hProcess;
  return s;
}

void End(Started& s, HWND window) {
  if (window) PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(s.pi.hProcess, kTimeoutMs) != WAIT_OBJECT_0) {
    TerminateProcess(s.pi.hProcess, 99);
    WaitForSingleObject(s.pi.hProcess, kTimeoutMs);
  }
  running = nullptr;
  CloseHandle(s.pi.hThread);
  CloseHandle(s.pi.hProcess);
}

DWORD ProcessOf(HWND h) {
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  return pid;
}

// The visible top-level window of process pid with this class and title.
HWND FindShown(DWORD pid, const char* windowClass, const char* title) {
  HWND h = nullptr;
  while ((h = FindWindowExA(nullptr, h, windowClass, title)) != nullptr) {
    if (ProcessOf(h) == pid && IsWindowVisible(h)) return h;
  }
  return nullptr;
}

std::string TextOf(HWND h) {
  char buf[2048] = {};
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf),
                           SMTO_ABORTIFHUNG, kTimeoutMs, &n)) {
    return {};
  }
  return std::string(buf, std::min<std::size_t>(n, sizeof buf - 1));
}

std::string ClassOf(HWND h) {
  char name[64] = {};
  GetClassNameA(h, name, sizeof name);
  return name;
}

// The window's children of a class (and text), top to bottom: the main
// window's boxes come out as 编辑框4, 1, 2, 3 and its Use buttons as slots
// 1, 2, 3.
std::vector<HWND> ChildrenByTop(HWND window, const char* windowClass,
                                const char* text = nullptr) {
  std::vector<std::pair<LONG, HWND>> found;
  for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (lstrcmpiA(ClassOf(c).c_str(), windowClass) != 0) continue;
    if (text && TextOf(c) != text) continue;
    RECT r;
    GetWindowRect(c, &r);
    found.emplace_back(r.top, c);
  }
  std::sort(found.begin(), found.end());
  std::vector<HWND> out;
  for (const auto& f : found) out.push_back(f.second);
  return out;
}

bool BoxesHold(HWND window, const std::vector<std::string>& expected) {
  const std::vector<HWND> boxes = ChildrenByTop(window, "Edit");
  if (boxes.size() != expected.size()) return false;
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    if (TextOf(boxes[i]) != expected[i]) return false;
  }
  return true;
}

struct Ready {
  HWND window = nullptr;  // null on a time-out
  double shownMs = 0;     // when the window was first seen shown
  double readyMs = 0;     // when its boxes were first seen to hold their texts
};

// Polls every millisecond (Sleep(1); the bench sets the system timer to
// 1 ms) until the main window of process pid is shown and its four boxes
// hold the expected texts. On a time-out what the boxes held goes to stderr.
Ready WaitUntilReady(DWORD pid, const std::vector<std::string>& expected) {
  const double deadline = NowMs() + kTimeoutMs;
  Ready r;
  HWND window = nullptr;
  while (NowMs() < deadline) {
    window = FindShown(pid, nullptr, kTitle);
    if (window && !r.shownMs) r.shownMs = NowMs();
    if (window && BoxesHold(window, expected)) {
      r.readyMs = NowMs();
      r.window = window;
      return r;
    }
    Sleep(1);
  }
  if (!window) std::fprintf(stderr, "\nwindow_bench: no window shown\n");
  if (window) {
    for (HWND box : ChildrenByTop(window, "Edit")) {
      std::fprintf(stderr, "\nwindow_bench: a box holds \"%s\"", TextOf(box).c_str());
    }
  }
  return r;
}

// Polls like WaitUntilReady for the confirmation box of process pid; when
// it got there, or 0.
double WaitForConfirmation(DWORD pid, HWND* box) {
  const double deadline = NowMs() + kTimeoutMs;
  while (NowMs() < deadline) {
    *box = FindShown(pid, "#32770", kConfirmCaption);
    if (*box) return NowMs();
    Sleep(1);
  }
  return 0;
}

// The process's commit charge. Microsoft documents PrivateUsage and
// PagefileUsage as the same figure, but Windows 7 leaves PagefileUsage zero
// and Wine 8 PrivateUsage (Wine fills PagefileUsage with the resident
// anonymous memory of the process): whichever is set.
double PrivateKb(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX pmc{};
  pmc.cb = sizeof pmc;
  if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc),
                            sizeof pmc)) {
    Fail("GetProcessMemoryInfo");
  }
  const SIZE_T bytes = pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage;
  return static_cast<double>(bytes) / 1024.0;
}

// ---- One run of each ------------------------------------------------------------

struct Samples {
  std::vector<double> shownMs, startupMs, privateKb, registryMs, confirmMs;
};

// Starts the program and records its start-up until its boxes hold the
// expected texts and, once it has settled, its private bytes. Yields its
// main window.
HWND StartAndMeasure(const char* exeName, const std::vector<std::string>& expected,
                     Started& s, Samples& out) {
  s = Start(exeName);
  const Ready r = WaitUntilReady(s.pi.dwProcessId, expected);
  if (!r.window) Fail("the start-up (the main window with its four texts)");
  out.shownMs.push_back(r.shownMs - s.startMs);
  out.startupMs.push_back(r.readyMs - s.startMs);
  Sleep(kSettleMs);
  out.privateKb.push_back(PrivateKb(s.pi.hProcess));
  return r.window;
}

// The floor: from CreateProcess until its window is shown with its boxes.
void RunFloor(Samples& out) {
  Started s;
  const HWND window = StartAndMeasure(
      "floor_window.exe", {std::begin(kFormBoxTexts), std::end(kFormBoxTexts)}, s, out);
  End(s, window);
}

// The floor of the confirmation: the same message box called on a GUI thread
// of this process that has nothing else to do (it owns a hidden window, as
// korvalin.exe's GUI thread owns its main window), watched the same way.
class BareConfirmation {
 public:
  BareConfirmation()
      : go_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
        done_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
        thread_(CreateThread(nullptr, 0, Run, this, 0, nullptr)) {
    WaitForSingleObject(done_, kTimeoutMs);  // its window exists
  }
  ~BareConfirmation() {
    quit_ = true;
    SetEvent(go_);
    WaitForSingleObject(thread_, kTimeoutMs);
    CloseHandle(thread_);
    CloseHandle(done_);
    CloseHandle(go_);
  }
  BareConfirmation(const BareConfirmation&) = delete;
  BareConfirmation& operator=(const BareConfirmation&) = delete;

  // From the call of MessageBoxA until its box is shown.
  double Measure() {
    SetEvent(go_);
    HWND box = nullptr;
    const double shown = WaitForConfirmation(GetCurrentProcessId(), &box);
    if (!shown) Fail("the bare message box");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    WaitForSingleObject(done_, kTimeoutMs);
    return shown - calledMs_;
  }

 private:
  static DWORD WINAPI Run(LPVOID p) {
    auto* self = static_cast<BareConfirmation*>(p);
    const HWND window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
    SetEvent(self->done_);
    while (WaitForSingleObject(self->go_, INFINITE) == WAIT_OBJECT_0 && !self->quit_) {
      self->calledMs_ = NowMs();
      MessageBoxA(nullptr, kConfirmText, kConfirmCaption, MB_OK | MB_TASKMODAL);
      SetEvent(self->done_);
    }
    DestroyWindow(window);
    return 0;
  }

  HANDLE go_, done_, thread_;
  volatile double calledMs_ = 0;  // written before go_'s box is shown
  volatile bool quit_ = false;
};

struct RegistryWatch {
  HANDLE changed;
  double changedMs = 0;
};

DWORD WINAPI WatchRegistry(LPVOID p) {
  auto* w = static_cast<RegistryWatch*>(p);
  if (WaitForSingleObject(w->changed, kTimeoutMs) == WAIT_OBJECT_0) w->changedMs = NowMs();
  return 0;
}

// korvalin.exe: start-up until the four boxes hold the registry value and the
// three remembered folders. Then a click on the slot's Use button, timed to
// the registry value written (a change notification, waited for on a thread
// of its own) and to the confirmation box shown; then the box is closed, the
// refreshed 编辑框4 awaited, and the window closed.
void RunKorvalin(int slot, Samples& out) {
  SetInstallPath(kStartValue);
  Started s;
  const HWND window = StartAndMeasure(
      "korvalin.exe", {kStartValue, kSlotFolders[0], kSlotFolders[1], kSlotFolders[2]}, s, out);

  const std::vector<HWND> use = ChildrenByTop(window, "Button", kUseText);
  if (use.size() != 3) Fail("finding the Use buttons");
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_NOTIFY | KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS) {
    Fail("opening the key");
  }
  RegistryWatch watch{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  if (RegNotifyChangeKeyValue(key, FALSE, REG_NOTIFY_CHANGE_LAST_SET, watch.changed, TRUE) !=
      ERROR_SUCCESS) {
    Fail("RegNotifyChangeKeyValue");
  }
  const HANDLE watcher = CreateThread(nullptr, 0, WatchRegistry, &watch, 0, nullptr);
  Sleep(20);  // the watcher is waiting

  // Posted, not sent: the click handler returns only once the confirmation
  // box has been closed.
  const double clickMs = NowMs();
  PostMessageA(use[static_cast<std::size_t>(slot - 1)], BM_CLICK, 0, 0);
  HWND box = nullptr;
  const double boxMs = WaitForConfirmation(s.pi.dwProcessId, &box);
  WaitForSingleObject(watcher, kTimeoutMs);
  CloseHandle(watcher);
  CloseHandle(watch.changed);
  const std::string written = InstallPath(key);
  RegCloseKey(key);
  if (!boxMs || !watch.changedMs) Fail("the switch");
  if (written != kSlotFolders[slot - 1]) Fail("the switch: InstallPath holds another text");
  if (TextOf(GetDlgItem(box, 0xFFFF)) != kConfirmText) Fail("the switch: the box's text");
  out.registryMs.push_back(watch.changedMs - clickMs);
  out.confirmMs.push_back(boxMs - clickMs);

  PostMessageA(box, WM_COMMAND, IDOK, 0);
  if (!WaitUntilReady(s.pi.dwProcessId, {kSlotFolders[slot - 1], kSlotFolders[0],
                                         kSlotFolders[1], kSlotFolders[2]})
           .window) {
    Fail("the refresh of the current path after the switch");
  }
  End(s, window);
}

// ---- The table --------------------------------------------------------------------

struct Summary {
  double median, low, high;  // the median and the quartiles
};

Summary Summarise(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const auto at = [&](double q) {
    return v[static_cast<std::size_t>(q * static_cast<double>(v.size() - 1) + 0.5)];
  };
  return {at(0.5), at(0.25), at(0.75)};
}

// The ratio is that of the medians; in brackets the median of the ratios
// within each pair of runs, which a load that changes over the session
// (other programs on the machine) disturbs less.
void PrintRow(const char* what, const std::vector<double>& korvalin,
              const std::vector<double>& floor, const char* unit, int decimals,
              const char* goal) {
  const Summary k = Summarise(korvalin);
  std::printf("| %s | %.*f %s (%.*f-%.*f)", what, decimals, k.median, unit, decimals, k.low,
              decimals, k.high);
  if (floor.empty()) {
    std::printf(" | | ");
  } else {
    const Summary f = Summarise(floor);
    std::vector<double> ratios;
    for (std::size_t i = 0; i < korvalin.size() && i < floor.size(); ++i) {
      ratios.push_back(korvalin[i] / floor[i]);
    }
    std::printf(" | %.*f %s (%.*f-%.*f) | %.2f (%.2f)", decimals, f.median, unit, decimals,
                f.low, decimals, f.high, k.median / f.median, Summarise(ratios).median);
  }
  std::printf(" | %s |\n", goal);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 21;
  const std::string here = platform::RunDirectory();
  std::string korvalinExe = here + "\\..\\app\\korvalin.exe";
  std::string floorExe = here + "\\floor_window.exe";
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--runs") == 0) {
      runs = std::max(1, std::atoi(argv[i + 1]));
    } else if (std::strcmp(argv[i], "--programs") == 0) {
      korvalinExe = std::string(argv[i + 1]) + "\\korvalin.exe";
      floorExe = std::string(argv[i + 1]) + "\\floor_window.exe";
    }
  }
  // A window of our own keeps the desktop of a Wine session up between the
  // programs' runs (Wine ends it a few seconds after its last window goes).
  const HWND keeper = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
  timeBeginPeriod(1);
  SaveKey();
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
  PrepareScratch(korvalinExe, floorExe);

  Samples korvalin, floor;
  BareConfirmation bareConfirmation;
  {
    // One untimed run of each first: file caches and the like.
    Samples warm;
    RunFloor(warm);
    bareConfirmation.Measure();
    RunKorvalin(1, warm);
  }
  // Then pairs in alternating order, so that drift over the session falls
  // on both alike.
  for (int i = 0; i < runs; ++i) {
    const int slot = i % 3 + 1;
    if (i % 2 == 0) {
      RunFloor(floor);
      floor.confirmMs.push_back(bareConfirmation.Measure());
      RunKorvalin(slot, korvalin);
    } else {
      RunKorvalin(slot, korvalin);
      RunFloor(floor);
      floor.confirmMs.push_back(bareConfirmation.Measure());
    }
    std::fprintf(stderr, "\rwindow_bench: %d of %d runs", i + 1, runs);
  }
  std::fprintf(stderr, "\n");
  CleanUp();
  timeEndPeriod(1);
  if (keeper) DestroyWindow(keeper);

  std::printf("| %d runs each, interleaved: median (quartiles) | korvalin.exe | floor | ratio "
              "(paired) | goal |\n|---|---|---|---|---|\n",
              runs);
  PrintRow("start-up: process created until the four boxes hold their texts", korvalin.startupMs,
           floor.startupMs, "ms", 1, "<= 1.15 x floor");
  PrintRow("of which: process created until the window is shown", korvalin.shownMs,
           floor.shownMs, "ms", 1, "");
  PrintRow("private bytes after start-up", korvalin.privateKb, floor.privateKb, "KB", 0,
           "<= 1.2 x floor");
  PrintRow("switch: Use click until InstallPath is written", korvalin.registryMs, {}, "ms", 2,
           "<= 5 ms");
  PrintRow("switch: Use click until the confirmation box is shown (floor: MessageBoxA alone)",
           korvalin.confirmMs, floor.confirmMs, "ms", 2, "<= 5 ms");
  return 0;
}
