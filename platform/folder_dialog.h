// The shell's folder-browse dialog. SHBrowseForFolderA and
// SHGetPathFromIDListA (shell32.dll) and SendMessageA (user32.dll) are bound
// by name at their first call (bind.h). GUI thread only: the dialog is a
// window of the calling thread, and its new style needs OLE there
// (platform::gui::Initialize).
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Numbers from shlobj.h.
inline constexpr unsigned kBifEditBox = 0x0010;
inline constexpr unsigned kBifNewDialogStyle = 0x0040;
inline constexpr unsigned kBifBrowseIncludeFiles = 0x4000;
inline constexpr unsigned kBffmInitialized = 1;
inline constexpr unsigned kBffmSetSelectionA = 0x0400 + 102;  // WM_USER + 102

// A browse callback: the dialog's window, the message, its value, and the
// data of the record. What it yields goes back to the dialog.
using FolderDialogCallback = int (*)(void* dialog, unsigned message, std::intptr_t value,
                                     std::intptr_t data) noexcept;

// The fields of BROWSEINFOA that a caller sets. The others stay zero: no root
// item (the tree starts at the desktop), no display-name buffer, no image.
struct FolderDialogRecord {
  void* owner = nullptr;                    // hwndOwner
  const char* title = nullptr;              // lpszTitle
  unsigned flags = 0;                       // ulFlags
  FolderDialogCallback callback = nullptr;  // lpfn
  std::intptr_t data = 0;                   // lParam, handed to the callback
};

// Runs the dialog until it is closed, then writes the chosen item's
// file-system path (SHGetPathFromIDListA) and a zero byte over the start of
// buffer, whose size is not changed. True when a path was written. After
// Cancel, for an item with no file-system path (a virtual folder), or when
// the path and its zero do not fit, buffer is left as it was.
bool RunFolderDialog(const FolderDialogRecord& record, std::string& buffer) noexcept;

// SendMessageA.
std::intptr_t SendWindowMessage(void* window, unsigned message, std::uintptr_t wParam,
                                std::intptr_t lParam) noexcept;

}  // namespace platform
