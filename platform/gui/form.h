// Forms as data: a window is described by a constant table (title, outer
// size, icon, controls, events) and built from it by the toolkit
// (platform/gui/toolkit.h). Nothing here includes <windows.h>.
#pragma once

#include <span>
#include <string_view>

namespace platform::gui {

// The kinds of control a form can hold. Each kind is one row of the toolkit's
// kind table (window class, styles, set-up after creation); a new kind is a
// new enumerator and a new row there.
enum class ControlKind : unsigned char {
  kLabel,          // static text
  kButton,         // push button with a click event
  kEdit,           // one line, sunken, scrolls sideways, no length limit
  kMultiLineEdit,  // wraps, takes Enter, follows the caret, no scroll bars
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

// One control of a loaded window, a plain value like Window.
struct Control {
  void* handle = nullptr;
  explicit operator bool() const noexcept { return handle != nullptr; }
};

// Event handlers run on the GUI thread and receive the window whose event it
// is. They must not throw: they are called from the window procedure.
using EventHandler = void (*)(Window window) noexcept;

// One row of a form's control table. Positions and sizes are in pixels within
// the window's client area.
struct ControlForm {
  ControlKind kind;
  std::string_view name;
  int left, top, width, height;
  std::string_view text;
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
