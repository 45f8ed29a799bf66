// What code that remembers a window's state needs of it: its controls of one
// kind with their tags and states, and its place on the screen.
//
// GUI thread only, apart from ControlsOfKind and ControlTag (any thread). On a
// window or control that is gone, reads yield 0, false or -1 and changes do
// nothing.
#pragma once

#include <string_view>
#include <vector>

#include "platform/gui/form.h"

namespace platform::gui {

// Every control of the window whose kind bears kindName (compared byte for
// byte, form.h names each kind), those inside its containers included, in the
// order of its form, and of them only those that exist as system windows at
// this moment. A name that no kind bears yields none.
std::vector<Control> ControlsOfKind(Window window, std::string_view kindName);

// The tag that the control's form row gives it, as written there; empty for a
// control not found through its form.
std::string_view ControlTag(Control control) noexcept;

// Check boxes and radio buttons: ticked (selected) or not. Setting one radio
// button leaves the others of its group as they are.
bool IsTicked(Control control) noexcept;
void SetTicked(Control control, bool ticked) noexcept;

// Combo boxes: the index of the chosen entry, -1 for none. An index that the
// list does not have (-1 included) changes nothing and yields false. The edit
// field's text is the control's text (ControlText, SetControlText).
int ChosenEntry(Control combo) noexcept;
bool ChooseEntry(Control combo, int index) noexcept;

// Tab controls: the index of the open page. An index that it does not have
// changes nothing and yields false.
int CurrentPage(Control tab) noexcept;
bool SetCurrentPage(Control tab, int index) noexcept;

// Outer rectangle: frame and title bar included, in screen coordinates (form
// windows are top-level windows).
struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Rect&) const = default;
};

Rect WindowRect(Window window) noexcept;
bool IsMinimised(Window window) noexcept;
bool IsMaximised(Window window) noexcept;

// A shown window is maximised on the monitor that it is on; one that the
// toolkit has not shown yet (during its created event) comes up maximised.
void Maximise(Window window) noexcept;

// Moves the window to left and top with width and height, a -1 keeping the
// current width or height, and repaints it. Nothing happens when the
// rectangle would not change. The system may enforce a minimum size.
void MoveWindowTo(Window window, int left, int top, int width = -1, int height = -1) noexcept;

// The primary display's size in pixels.
struct ScreenSize {
  int width = 0, height = 0;
};
ScreenSize PrimaryScreenSize() noexcept;

}  // namespace platform::gui
