#include "platform/folder_dialog.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>

#include "platform/bind.h"

namespace platform {
namespace {

static_assert(kBifEditBox == BIF_EDITBOX);
static_assert(kBifNewDialogStyle == BIF_NEWDIALOGSTYLE);
static_assert(kBifBrowseIncludeFiles == BIF_BROWSEINCLUDEFILES);
static_assert(kBffmInitialized == BFFM_INITIALIZED);
static_assert(kBffmSetSelectionA == BFFM_SETSELECTIONA);

constexpr const char* kShell32 = "shell32.dll";

// The callback gets the caller's data; BROWSEINFOA's lParam carries this
// instead, so that the callback itself can keep the calling convention of
// plain code (on 32-bit Windows the shell calls __stdcall).
struct CallbackContext {
  FolderDialogCallback callback;
  std::intptr_t data;
};

int CALLBACK Forward(HWND dialog, UINT message, LPARAM value, LPARAM context) noexcept {
  const auto* c = reinterpret_cast<const CallbackContext*>(context);
  return c && c->callback ? c->callback(dialog, message, value, c->data) : 0;
}

// The item list that SHBrowseForFolderA hands over: the caller frees it.
struct ItemList {
  LPITEMIDLIST pidl;
  ~ItemList() {
    if (pidl) CoTaskMemFree(pidl);
  }
};

}  // namespace

bool RunFolderDialog(const FolderDialogRecord& record, std::string& buffer) noexcept {
  static const auto browse = KORVALIN_BIND(SHBrowseForFolderA, kShell32);
  static const auto pathOf = KORVALIN_BIND(SHGetPathFromIDListA, kShell32);

  const CallbackContext context{record.callback, record.data};
  BROWSEINFOA info{};
  info.hwndOwner = static_cast<HWND>(record.owner);
  info.lpszTitle = record.title;
  info.ulFlags = record.flags;
  info.lpfn = record.callback ? Forward : nullptr;
  info.lParam = reinterpret_cast<LPARAM>(&context);

  const ItemList chosen{browse(&info)};
  // No item after Cancel: nothing to ask for a path.
  if (!chosen.pidl) return false;
  // The shell writes up to MAX_PATH bytes and may leave anything behind
  // when it fails: a path of its own first, then copied when it fits.
  char path[MAX_PATH + 1] = {};
  if (!pathOf(chosen.pidl, path)) return false;
  const std::size_t length = std::strlen(path);
  if (length + 1 > buffer.size()) return false;
  std::memcpy(buffer.data(), path, length + 1);
  return true;
}

std::intptr_t SendWindowMessage(void* window, unsigned message, std::uintptr_t wParam,
                                std::intptr_t lParam) noexcept {
  static const auto send = KORVALIN_BIND(SendMessageA, "user32.dll");
  return send(static_cast<HWND>(window), message, wParam, lParam);
}

}  // namespace platform
