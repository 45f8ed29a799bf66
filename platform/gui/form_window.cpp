// Windows built from forms: the kind table, containers, the window
// procedure, normal and modal loading, and the controls' texts.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/gui/internal.h"
#include "platform/gui/toolkit.h"
#include "text/gbk_text.h"

namespace platform::gui {
namespace {

// One row per control kind. Every control also gets WS_CHILD | WS_VISIBLE.
struct KindRow {
  ControlKind kind;
  std::string_view name;  // as callers select the kind by (ControlsOfKind)
  const char* windowClass;
  DWORD style;
  DWORD exStyle;
  bool unlimitedText;  // lift the edit control's default limit (30000 chars)
  enum Lines : unsigned char { kText, kEntries, kTabs } lines;  // what the form's text holds
  bool container;  // other controls of the form may be made inside it
};

constexpr KindRow kKinds[] = {
    {ControlKind::kLabel, "标签", "STATIC", SS_LEFT, 0, false, KindRow::kText, false},
    {ControlKind::kButton, "按钮", "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, false,
     KindRow::kText, false},
    {ControlKind::kEdit, "编辑框", "EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP,
     WS_EX_CLIENTEDGE, true, KindRow::kText, false},
    {ControlKind::kMultiLineEdit, "编辑框", "EDIT",
     ES_LEFT | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE,
     true, KindRow::kText, false},
    {ControlKind::kCheckBox, "选择框", "BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0, false,
     KindRow::kText, false},
    {ControlKind::kRadioButton, "单选框", "BUTTON", BS_AUTORADIOBUTTON | WS_TABSTOP, 0, false,
     KindRow::kText, false},
    {ControlKind::kComboBox, "组合框", "COMBOBOX",
     CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 0, false, KindRow::kEntries,
     false},
    {ControlKind::kTabControl, "选择夹", WC_TABCONTROLA, WS_TABSTOP | WS_CLIPSIBLINGS, 0, false,
     KindRow::kTabs, false},
    // WS_EX_CONTROLPARENT: Tab and the arrow keys go on into the controls
    // inside it.
    {ControlKind::kGroupBox, "分组框", "BUTTON", BS_GROUPBOX | WS_CLIPCHILDREN,
     WS_EX_CONTROLPARENT, false, KindRow::kText, true},
};

const KindRow& KindOf(ControlKind kind) noexcept {
  for (const KindRow& row : kKinds) {
    if (row.kind == kind) return row;
  }
  return kKinds[0];
}

// A combo box's height in its form is that of the closed box; the system
// window also holds the dropped-down list, which gets room for ten entries.
constexpr int kComboListRoom = 160;

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
  bool showMaximised = false;  // maximised while hidden: show it so
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

// The group box of the form that holds control index, or npos when the
// control has no container or names none listed before it.
std::size_t ContainerOf(const Form& form, std::size_t index) noexcept {
  const std::string_view container = form.controls[index].container;
  for (std::size_t i = 0; i < index && !container.empty(); ++i) {
    const ControlForm& c = form.controls[i];
    if (c.name == container && KindOf(c.kind).container) return i;
  }
  return text::npos;
}

// The system window that control index is made in: the window, or that of
// its container; null when there is none.
HWND ParentWindowOf(HWND window, const Form& form, std::size_t index) noexcept {
  if (form.controls[index].container.empty()) return window;
  const std::size_t container = ContainerOf(form, index);
  return container == text::npos ? nullptr : internal::ControlWindow(window, form, container);
}

// A group box sends its controls' notifications and colour queries to
// itself, as their parent; the form window must get them (clicks, list and
// tab changes, the colours of the controls outside). A group box paints its
// frame and caption alone, counting on its parent to have painted beneath
// it, which the form's WS_CLIPCHILDREN forbids: it erases itself as its
// parent colours a static control.
LRESULT CALLBACK ContainerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                               UINT_PTR id, DWORD_PTR) noexcept {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return SendMessageA(GetParent(hwnd), message, wParam, lParam);
    case WM_ERASEBKGND: {
      const auto dc = reinterpret_cast<HDC>(wParam);
      auto brush = reinterpret_cast<HBRUSH>(SendMessageA(
          GetParent(hwnd), WM_CTLCOLORSTATIC, wParam, reinterpret_cast<LPARAM>(hwnd)));
      if (!brush) brush = GetSysColorBrush(COLOR_BTNFACE);
      RECT r;
      GetClientRect(hwnd, &r);
      FillRect(dc, &r, brush);
      return 1;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, ContainerProc, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

// The tab control and the subclassing of containers come from comctl32.
void InitCommonControlsOnce() noexcept {
  static const bool done = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)done;
}

// Gives a combo box its entries or a tab control its tabs: one a line of the
// form's text.
void AddLines(HWND control, KindRow::Lines lines, std::string_view all) noexcept {
  int index = 0;
  while (!all.empty()) {
    const std::size_t end = text::Find(all, "\n");
    std::string line(all.substr(0, end));
    all = end == text::npos ? std::string_view() : all.substr(end + 1);
    if (lines == KindRow::kEntries) {
      SendMessageA(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    } else {
      TCITEMA item{};
      item.mask = TCIF_TEXT;
      item.pszText = line.data();
      SendMessageA(control, TCM_INSERTITEMA, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&item));
    }
    ++index;
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

  InitCommonControlsOnce();
  const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
  for (std::size_t i = 0; i < form.controls.size(); ++i) {
    const ControlForm& c = form.controls[i];
    const KindRow& kind = KindOf(c.kind);
    const HWND parentWindow = ParentWindowOf(hwnd, form, i);
    if (!parentWindow) continue;
    const std::string text(kind.lines == KindRow::kText ? c.text : std::string_view());
    const int height = c.height + (kind.lines == KindRow::kEntries ? kComboListRoom : 0);
    const HWND control = CreateWindowExA(
        kind.exStyle, kind.windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | kind.style, c.left,
        c.top, c.width, height, parentWindow,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + static_cast<int>(i))),
        GetModuleHandleA(nullptr), nullptr);
    if (!control) continue;
    SendMessageA(control, WM_SETFONT, font, FALSE);
    if (kind.unlimitedText) SendMessageA(control, EM_SETLIMITTEXT, 0, 0);
    if (kind.lines != KindRow::kText) AddLines(control, kind.lines, c.text);
    if (kind.container) SetWindowSubclass(control, ContainerProc, 0, 0);
  }

  if (form.created) form.created(Window{hwnd, &form});
  return IsWindow(hwnd) ? hwnd : nullptr;
}

// Shows a window that Create made, maximised when it was maximised while
// still hidden (by its created event, say).
void Show(HWND hwnd) noexcept {
  const FormWindow* w = Find(hwnd);
  ShowWindow(hwnd, w && w->showMaximised ? SW_SHOWMAXIMIZED : SW_SHOW);
  UpdateWindow(hwnd);
}

}  // namespace

namespace internal {

HWND ControlWindow(HWND window, const Form& form, std::size_t index) noexcept {
  if (!window || index >= form.controls.size()) return nullptr;
  const HWND parent = ParentWindowOf(window, form, index);
  return parent ? GetDlgItem(parent, kFirstControlId + static_cast<int>(index)) : nullptr;
}

std::string_view KindName(ControlKind kind) noexcept { return KindOf(kind).name; }

bool MaximiseWhenShown(HWND window) noexcept {
  FormWindow* w = Find(window);
  if (!w) return false;
  w->showMaximised = true;
  return true;
}

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
  Show(hwnd);
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
  Show(hwnd);
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
      const HWND hwnd = internal::ControlWindow(AsHwnd(window.handle), *window.form, i);
      return hwnd ? Control{hwnd, &controls[i]} : Control{};
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
