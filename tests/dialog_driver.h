// Driving the program's windows from a test: finding its folder dialog and
// message box and answering them as a user would, whether the program runs
// in this process (answered from a helper thread) or in another one.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <string_view>
#include <vector>

namespace drive {

inline std::string ClassOf(HWND h) {
  char cls[64] = {};
  GetClassNameA(h, cls, sizeof cls);
  return cls;
}

// A window's text through WM_GETTEXT, which the system carries across
// processes (GetWindowText does not ask another process's controls).
inline std::string TextOf(HWND h) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(h, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 10000, &length)) return {};
  std::string text(length + 1, '\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(h, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_NORMAL, 10000, &copied);
  text.resize(copied);
  return text;
}

inline std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(
      parent,
      [](HWND h, LPARAM p) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// The visible children of a class ("Static", "Button", "Edit").
inline std::vector<HWND> VisibleChildren(HWND parent, std::string_view cls) {
  std::vector<HWND> found;
  for (HWND h : Children(parent)) {
    if (IsWindowVisible(h) && ClassOf(h) == cls) found.push_back(h);
  }
  return found;
}

inline std::vector<std::string> VisibleTexts(HWND parent, std::string_view cls) {
  std::vector<std::string> texts;
  for (HWND h : VisibleChildren(parent, cls)) texts.push_back(TextOf(h));
  return texts;
}

enum class Kind { kFolderDialog, kMessageBox };

// A dialog box is the folder dialog when it holds the folder tree.
inline bool IsKind(HWND dialog, Kind kind) {
  bool tree = false;
  for (HWND h : Children(dialog)) tree = tree || ClassOf(h) == "SysTreeView32";
  return tree == (kind == Kind::kFolderDialog);
}

struct Search {
  DWORD pid;
  Kind kind;
  HWND found;
};

// A shown dialog box (class #32770) of process pid, of the kind asked for;
// null when none comes within the time.
inline HWND WaitForDialog(DWORD pid, Kind kind, int milliseconds = 15000) {
  Search search{pid, kind, nullptr};
  for (int waited = 0; waited <= milliseconds; waited += 10) {
    EnumWindows(
        [](HWND h, LPARAM p) -> BOOL {
          auto* s = reinterpret_cast<Search*>(p);
          DWORD process = 0;
          GetWindowThreadProcessId(h, &process);
          if (process != s->pid || !IsWindowVisible(h) || ClassOf(h) != "#32770") return TRUE;
          if (!IsKind(h, s->kind)) return TRUE;
          s->found = h;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    Sleep(10);
  }
  return nullptr;
}

inline bool WaitUntilGone(HWND h, int milliseconds = 15000) {
  for (int waited = 0; waited <= milliseconds && IsWindow(h); waited += 10) Sleep(10);
  return !IsWindow(h);
}

// Presses a dialog's button as a click would; posted, so that the caller
// does not wait for whatever the click starts.
inline void Press(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// Memory in another window's process, for messages whose pointers the
// system does not carry across (those of the WM_USER range, the tree view's).
// Works as well for a window of this process.
class RemoteMemory {
 public:
  RemoteMemory(HWND window, std::size_t size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_) {
      address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
  }
  ~RemoteMemory() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;

  char* At(std::size_t offset) const { return static_cast<char*>(address_) + offset; }
  bool Write(std::size_t offset, const void* data, std::size_t size) const {
    return address_ && WriteProcessMemory(process_, At(offset), data, size, nullptr);
  }
  bool Read(std::size_t offset, void* data, std::size_t size) const {
    return address_ && ReadProcessMemory(process_, At(offset), data, size, nullptr);
  }

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
};

// The text of the folder dialog's selected tree item.
inline std::string SelectedTreeText(HWND dialog) {
  HWND tree = nullptr;
  for (HWND h : Children(dialog)) {
    if (ClassOf(h) == "SysTreeView32") tree = h;
  }
  if (!tree) return {};
  DWORD_PTR item = 0;
  if (!SendMessageTimeoutA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, SMTO_NORMAL, 15000, &item) ||
      !item) {
    return {};
  }
  constexpr std::size_t kText = 520;
  const RemoteMemory memory(tree, sizeof(TVITEMA) + kText);
  TVITEMA request{};
  request.mask = TVIF_TEXT;
  request.hItem = reinterpret_cast<HTREEITEM>(item);
  request.pszText = memory.At(sizeof request);
  request.cchTextMax = kText;
  char text[kText] = {};
  DWORD_PTR got = 0;
  if (!memory.Write(0, &request, sizeof request) ||
      !SendMessageTimeoutA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(memory.At(0)),
                           SMTO_NORMAL, 15000, &got) ||
      !got || !memory.Read(sizeof request, text, sizeof text - 1)) {
    return {};
  }
  return text;
}

// Sends BFFM_SETSELECTIONA for path, up to attempts times, until the tree
// shows the path's last name selected (a file's maybe without its
// extension).
inline bool SelectInTree(HWND dialog, std::string_view path, int attempts) {
  const std::string text(path);
  const std::size_t slash = text.find_last_of('\\');
  const std::string name = slash == std::string::npos ? text : text.substr(slash + 1);
  const std::string stem = name.substr(0, name.find_last_of('.'));
  const RemoteMemory memory(dialog, text.size() + 1);
  if (!memory.Write(0, text.c_str(), text.size() + 1)) return false;
  for (int attempt = 0; attempt < attempts; ++attempt) {
    if (attempt > 0) Sleep(50);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(memory.At(0)),
                        SMTO_NORMAL, 15000, &result);
    const std::string selected = SelectedTreeText(dialog);
    if (!selected.empty() && (selected == name || selected == stem)) return true;
  }
  return false;
}

// Selects a folder (or, when files are listed, a file) in the folder dialog,
// as a user would pick it in the tree. Under Wine the dialog now and then
// ignores the first message for a folder made moments before: it is sent
// again until the tree shows it. False when it never does.
inline bool SelectInFolderDialog(HWND dialog, std::string_view path) {
  return SelectInTree(dialog, path, 100);
}

// One attempt, for a path the dialog is expected to refuse.
inline bool TrySelectInFolderDialog(HWND dialog, std::string_view path) {
  return SelectInTree(dialog, path, 1);
}

// What a test sees of the confirmation message box.
struct MessageBoxSeen {
  bool shown = false;
  std::string caption;
  std::vector<std::string> texts;    // its visible labels
  std::vector<std::string> buttons;  // its visible buttons' texts
  bool okButton = false;             // a button with the id IDOK
  int icons = 0;                     // visible labels that show an icon
  HWND owner = nullptr;
};

inline MessageBoxSeen Inspect(HWND box) {
  MessageBoxSeen seen;
  seen.shown = true;
  seen.caption = TextOf(box);
  for (HWND h : VisibleChildren(box, "Static")) {
    if ((GetWindowLongA(h, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
      seen.texts.push_back(TextOf(h));
    } else if (SendMessageA(h, STM_GETICON, 0, 0)) {
      // Wine keeps an empty icon label in every message box.
      ++seen.icons;
    }
  }
  seen.buttons = VisibleTexts(box, "Button");
  seen.okButton = GetDlgItem(box, IDOK) && IsWindowVisible(GetDlgItem(box, IDOK));
  seen.owner = GetWindow(box, GW_OWNER);
  return seen;
}

}  // namespace drive
