#include "platform/gui/window_state.h"

#include <windows.h>
#include <commctrl.h>

#include "platform/gui/internal.h"

namespace platform::gui {
namespace {

HWND AsHwnd(void* handle) noexcept { return static_cast<HWND>(handle); }

// Messages to a control that is gone fail and yield 0, so the LRESULT of a
// count or an index is checked before it is trusted.
LRESULT Send(Control control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) noexcept {
  const HWND hwnd = AsHwnd(control.handle);
  return hwnd && IsWindow(hwnd) ? SendMessageA(hwnd, message, wParam, lParam) : -1;
}

bool InRange(int index, LRESULT count) noexcept { return index >= 0 && index < count; }

}  // namespace

std::vector<Control> ControlsOfKind(Window window, std::string_view kindName) {
  std::vector<Control> found;
  if (!window.form || !window.handle) return found;
  const auto& controls = window.form->controls;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (internal::KindName(controls[i].kind) != kindName) continue;
    if (const HWND hwnd = internal::ControlWindow(AsHwnd(window.handle), *window.form, i)) {
      found.push_back(Control{hwnd, &controls[i]});
    }
  }
  return found;
}

std::string_view ControlTag(Control control) noexcept {
  return control.form ? control.form->tag : std::string_view();
}

bool IsTicked(Control control) noexcept { return Send(control, BM_GETCHECK) == BST_CHECKED; }

void SetTicked(Control control, bool ticked) noexcept {
  Send(control, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED);
}

int ChosenEntry(Control combo) noexcept {
  const LRESULT index = Send(combo, CB_GETCURSEL);
  return index >= 0 ? static_cast<int>(index) : -1;
}

bool ChooseEntry(Control combo, int index) noexcept {
  // CB_SETCURSEL with an index past the end would clear the choice and the
  // edit field instead.
  if (!InRange(index, Send(combo, CB_GETCOUNT))) return false;
  return Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index)) == index;
}

int CurrentPage(Control tab) noexcept {
  const LRESULT index = Send(tab, TCM_GETCURSEL);
  return index >= 0 ? static_cast<int>(index) : -1;
}

bool SetCurrentPage(Control tab, int index) noexcept {
  if (!InRange(index, Send(tab, TCM_GETITEMCOUNT))) return false;
  Send(tab, TCM_SETCURSEL, static_cast<WPARAM>(index));
  return CurrentPage(tab) == index;
}

Rect WindowRect(Window window) noexcept {
  RECT r{};
  if (!window.handle || !GetWindowRect(AsHwnd(window.handle), &r)) return {};
  return Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

bool IsMinimised(Window window) noexcept {
  return window.handle && IsIconic(AsHwnd(window.handle));
}

bool IsMaximised(Window window) noexcept {
  return window.handle && IsZoomed(AsHwnd(window.handle));
}

void Maximise(Window window) noexcept {
  const HWND hwnd = AsHwnd(window.handle);
  if (!hwnd || !IsWindow(hwnd)) return;
  // ShowWindow would also show a window that its created event maximises;
  // the toolkit shows it maximised instead, when its time comes.
  if (!IsWindowVisible(hwnd) && internal::MaximiseWhenShown(hwnd)) return;
  ShowWindow(hwnd, SW_MAXIMIZE);
}

void MoveWindowTo(Window window, int left, int top, int width, int height) noexcept {
  const HWND hwnd = AsHwnd(window.handle);
  if (!hwnd || !IsWindow(hwnd)) return;
  const Rect now = WindowRect(window);
  const Rect wanted{left, top, width == -1 ? now.width : width, height == -1 ? now.height : height};
  if (wanted == now) return;
  MoveWindow(hwnd, wanted.left, wanted.top, wanted.width, wanted.height, TRUE);
}

ScreenSize PrimaryScreenSize() noexcept {
  return ScreenSize{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

}  // namespace platform::gui
