// Forms as data: a window is described by a constant table (title, outer
// size, icon, controls, events) and built from it by the toolkit
// (platform/gui/toolkit.h). Nothing here includes <windows.h>.
#pragma once

#include <span>
#include <string_view>

namespace platform::gui {

// The kinds of control a form can hold. Each kind is one row of the toolkit's
// kind table (its name, window class, styles, set-up after creation); a new
// kind is a new enumerator and a new row there. The names are those by which
// callers select a window's controls of one kind (ControlsOfKind).
enum class ControlKind : unsigned char {
  kLabel,          // "标签": static text
  kButton,         // "按钮": push button with a click event
  kEdit,           // "编辑框": one line, sunken, scrolls sideways, no length limit
  kMultiLineEdit,  // "编辑框": wraps, takes Enter, follows the caret, no scroll bars
  kCheckBox,       // "选择框": ticks itself when clicked
  kRadioButton,    // "单选框": selects itself when clicked
  kComboBox,       // "组合框": drop-down list with an edit field; text: its entries
  kTabControl,     // "选择夹": a row of tabs; text: their captions
  kGroupBox,       // "分组框": a titled frame; a container
};

struct Form;

// A loaded window: its system window and the form it was built from. A plain
// value that any thread may hold; once the window is destroyed, operations on
// it do nothing and yield nothing.
struct Window {
  void* handle = nullptr;
  const Form* form = nullptr;
  explicit operator bool() const noexcept { return handle != nullptr; }
};

struct ControlForm;

// One control of a loaded window, a plain value like Window: its system
// window and, when it was found through its form, the row that describes it.
struct Control {
  void* handle = nullptr;
  const ControlForm* form = nullptr;
  explicit operator bool() const noexcept { return handle != nullptr; }
};

// Event handlers run on the GUI thread and receive the window whose event it
// is. They must not throw: they are called from the window procedure.
using EventHandler = void (*)(Window window) noexcept;

// One row of a form's control table. Positions and sizes are in pixels within
// the client area of the window, or of the container when there is one.
//
// A combo box's text lists its entries and a tab control's text its tabs'
// captions, one a line ("\n" ends each but an unended last one); they start
// with no entry chosen and the first tab open.
//
// container names a group box listed earlier in the same form; the control is
// then made inside it and moves with it, but it still counts as one of the
// window's controls, in the form's order. A control whose container is not
// such a group box is not made at all.
//
// tag is free text for the form's designer to mark controls with; the
// toolkit itself gives it no meaning.
struct ControlForm {
  ControlKind kind;
  std::string_view name;
  int left, top, width, height;
  std::string_view text;
  std::string_view container = {};
  std::string_view tag = {};
};

// What clicking a button does. A button without a hook, or whose hook is
// null, does nothing.
struct ClickHook {
  std::string_view control;
  EventHandler handler;
};

struct Form {
  std::string_view title;
  int width, height;  // outer size: frame and title bar included
  int icon;           // icon resource of the executable; 0 for none
  std::span<const ControlForm> controls;
  std::span<const ClickHook> clicks;
  EventHandler created;  // once the window and its controls exist; may be null
};

}  // namespace platform::gui
