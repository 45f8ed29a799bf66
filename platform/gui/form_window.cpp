// Windows built from forms: the kind table, the window procedure, normal and
// modal loading, and the controls' texts.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/gui/internal.h"
#include "platform/gui/toolkit.h"

namespace platform::gui {
namespace {

// One row per control kind. Every control also gets WS_CHILD | WS_VISIBLE.
struct KindRow {
  ControlKind kind;
  const char* windowClass;
  DWORD style;
  DWORD exStyle;
  bool unlimitedText;  // lift the edit control's default limit (30000 chars)
};

constexpr KindRow kKinds[] = {
    {ControlKind::kLabel, "STATIC", SS_LEFT, 0, false},
    {ControlKind::kButton, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, false},
    {ControlKind::kEdit, "EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, true},
    {ControlKind::kMultiLineEdit, "EDIT",
     ES_LEFT | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE,
     true},
};

const KindRow& KindOf(ControlKind kind) noexcept {
  for (const KindRow& row : kKinds) {
    if (row.kind == kind) return row;
  }
  return kKinds[0];
}

// Control i of a form has the id kFirstControlId + i. The ids stay clear of
// IDOK and IDCANCEL, which the dialog manager sends for Enter, and of the
// edit control's own command ids (0x300 to 0x303: cut, copy, paste, clear),
// which an edit box would act on when it is sent its EN_CHANGE notification.
constexpr int kFirstControlId = 1000;

// A fixed frame with the system menu and a minimise button: no
// WS_THICKFRAME (no resizing) and no WS_MAXIMIZEBOX.
constexpr DWORD kFormStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

// What the toolkit keeps of one loaded window; GUI thread only.
struct FormWindow {
  HWND hwnd = nullptr;
  HWND parent = nullptr;
  const Form* form = nullptr;
  HICON bigIcon = nullptr;
  HICON smallIcon = nullptr;
  HWND focus = nullptr;  // the control to give the focus back to
  // Windows that a modal window disabled, with the state they had.
  std::vector<std::pair<HWND, bool>> disabled;
  bool* destroyed = nullptr;  // set on destruction, for the nested loop
};

std::vector<std::unique_ptr<FormWindow>> loaded;  // GUI thread only

FormWindow* Find(HWND hwnd) noexcept {
  for (const auto& w : loaded) {
    if (w->hwnd == hwnd) return w.get();
  }
  return nullptr;
}

HWND AsHwnd(void* handle) noexcept { return static_cast<HWND>(handle); }

void RestoreDisabled(FormWindow& w) noexcept {
  for (const auto& [hwnd, enabled] : w.disabled) EnableWindow(hwnd, enabled ? TRUE : FALSE);
  w.disabled.clear();
}

const ControlForm* ControlOf(const FormWindow& w, HWND control) noexcept {
  const int index = GetDlgCtrlID(control) - kFirstControlId;
  if (index < 0 || static_cast<std::size_t>(index) >= w.form->controls.size()) return nullptr;
  return &w.form->controls[static_cast<std::size_t>(index)];
}

void OnClick(FormWindow& w, HWND control) noexcept {
  const ControlForm* c = ControlOf(w, control);
  if (!c || c->kind != ControlKind::kButton) return;
  for (const ClickHook& hook : w.form->clicks) {
    if (hook.control == c->name) {
      // The handler may run a nested loop in which this window's record goes
      // away: nothing of it is used afterwards.
      if (hook.handler) hook.handler(Window{w.hwnd, w.form});
      return;
    }
  }
}

void OnDestroyed(FormWindow* w) noexcept {
  RestoreDisabled(*w);
  if (w->destroyed) *w->destroyed = true;
  if (w->bigIcon) DestroyIcon(w->bigIcon);
  if (w->smallIcon) DestroyIcon(w->smallIcon);
  std::erase_if(loaded, [w](const auto& p) { return p.get() == w; });
  if (loaded.empty() && internal::MessageLoopRunning()) PostQuitMessage(0);
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  FormWindow* w = Find(hwnd);
  if (w) {
    switch (message) {
      case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && lParam) OnClick(*w, reinterpret_cast<HWND>(lParam));
        return 0;
      case WM_ACTIVATE:
        // Like a dialog: the control that had the focus gets it back when
        // the window is activated again.
        if (LOWORD(wParam) == WA_INACTIVE) {
          const HWND focus = GetFocus();
          if (focus && IsChild(hwnd, focus)) w->focus = focus;
        } else if (!HIWORD(wParam)) {  // not minimised
          HWND target = w->focus && IsChild(hwnd, w->focus) ? w->focus : nullptr;
          if (!target) target = GetNextDlgTabItem(hwnd, nullptr, FALSE);
          if (target) {
            SetFocus(target);
            return 0;
          }
        }
        break;
      case WM_CLOSE:
        // Give the disabled windows back before this one goes, so that the
        // system activates the owner rather than another program's window.
        RestoreDisabled(*w);
        DestroyWindow(hwnd);
        return 0;
      case WM_NCDESTROY:
        OnDestroyed(w);
        break;
      default:
        break;
    }
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

HICON LoadFormIcon(int id, int size) noexcept {
  if (id == 0) return nullptr;
  return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                       IMAGE_ICON, size, size, 0));
}

// Creates the window and its controls, hidden, and runs the created event.
// Null when creation failed or the created event destroyed the window.
HWND Create(const Form& form, HWND parent) noexcept {
  const std::string title(form.title);
  // Centred from the full size of the primary screen, not the work area.
  const int left = (GetSystemMetrics(SM_CXSCREEN) - form.width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - form.height) / 2;
  const HWND hwnd = CreateWindowExA(0, internal::FormClassName(), title.c_str(), kFormStyle, left,
                                    top, form.width, form.height, parent, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
  if (!hwnd) return nullptr;

  auto record = std::make_unique<FormWindow>();
  FormWindow& w = *record;
  w.hwnd = hwnd;
  w.parent = parent;
  w.form = &form;
  loaded.push_back(std::move(record));

  w.bigIcon = LoadFormIcon(form.icon, GetSystemMetrics(SM_CXICON));
  w.smallIcon = LoadFormIcon(form.icon, GetSystemMetrics(SM_CXSMICON));
  if (w.bigIcon) SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(w.bigIcon));
  if (w.smallIcon) SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(w.smallIcon));

  const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
  for (std::size_t i = 0; i < form.controls.size(); ++i) {
    const ControlForm& c = form.controls[i];
    const KindRow& kind = KindOf(c.kind);
    const std::string text(c.text);
    const HWND control = CreateWindowExA(
        kind.exStyle, kind.windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | kind.style, c.left,
        c.top, c.width, c.height, hwnd,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + static_cast<int>(i))),
        GetModuleHandleA(nullptr), nullptr);
    if (!control) continue;
    SendMessageA(control, WM_SETFONT, font, FALSE);
    if (kind.unlimitedText) SendMessageA(control, EM_SETLIMITTEXT, 0, 0);
  }

  if (form.created) form.created(Window{hwnd, &form});
  return IsWindow(hwnd) ? hwnd : nullptr;
}

}  // namespace

namespace internal {

const char* FormClassName() noexcept {
  static const char* const name = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = FormProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = "KorvalinForm";
    RegisterClassExA(&wc);
    return "KorvalinForm";
  }();
  return name;
}

bool PreTranslate(MSG& msg) noexcept {
  if (!msg.hwnd) return false;
  const HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  if (!root || !Find(root)) return false;
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
    // Esc closes the window that has the keyboard, whichever control has the
    // focus, exactly as its close button does; no control sees the key.
    SendMessageA(root, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
  }
  return IsDialogMessageA(root, &msg) != FALSE;
}

}  // namespace internal

Window Load(const Form& form) noexcept {
  const HWND hwnd = Create(form, nullptr);
  if (!hwnd) return {};
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  return Window{hwnd, &form};
}

bool LoadModal(const Form& form, Window parent) noexcept {
  const HWND hwnd = Create(form, AsHwnd(parent.handle));
  if (!hwnd) return false;
  FormWindow* w = Find(hwnd);
  for (const auto& other : loaded) {
    if (other.get() == w || other->parent) continue;
    w->disabled.emplace_back(other->hwnd, IsWindowEnabled(other->hwnd) != FALSE);
    EnableWindow(other->hwnd, FALSE);
  }
  bool done = false;
  w->destroyed = &done;
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  internal::RunNestedLoop(done);
  // A quit message ended the loop early: the window stays, but the windows
  // it disabled come back now, as the call returns.
  if (!done) {
    if (FormWindow* still = Find(hwnd)) {
      still->destroyed = nullptr;
      RestoreDisabled(*still);
    }
  }
  return true;
}

bool IsLoaded(Window window) noexcept {
  return window.handle && IsWindow(AsHwnd(window.handle));
}

Control FindControl(Window window, std::string_view name) noexcept {
  if (!window.form || !window.handle) return {};
  const auto& controls = window.form->controls;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].name == name) {
      return Control{GetDlgItem(AsHwnd(window.handle), kFirstControlId + static_cast<int>(i))};
    }
  }
  return {};
}

std::string ControlText(Control control) {
  const HWND hwnd = AsHwnd(control.handle);
  if (!hwnd) return {};
  // The length may overstate a GBK text's bytes; the copy's count is exact.
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
  const int n = GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()));
  text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return text;
}

void SetControlText(Control control, std::string_view text) noexcept {
  const HWND hwnd = AsHwnd(control.handle);
  if (!hwnd) return;
  // Both are sent to the thread that owns the box, so from another thread
  // the caller waits for the GUI thread; a box gone meanwhile fails both.
  const std::string copy(text);
  if (!SetWindowTextA(hwnd, copy.c_str())) return;
  SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), EN_CHANGE),
               reinterpret_cast<LPARAM>(hwnd));
}

}  // namespace platform::gui
