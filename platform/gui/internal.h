// Shared by the toolkit's own files; never included outside platform/gui.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string_view>

#include "platform/gui/form.h"

namespace platform::gui::internal {

// The toolkit's pre-dispatch step, common to all its loops: Esc closes the
// active form window, and dialog keys (Tab, arrows) move between its
// controls. True when msg has been handled and must not be dispatched.
bool PreTranslate(MSG& msg) noexcept;

// PreTranslate, then the usual translation and dispatch.
void Dispatch(MSG& msg) noexcept;

// The nested loop of a modal window: dispatches until done turns true (set
// by a handler it dispatches to) or a quit message arrives, which is posted
// again for the loop below.
void RunNestedLoop(const bool& done) noexcept;

// Whether RunMessageLoop is running: only then does the destruction of the
// last window post the quit message.
bool MessageLoopRunning() noexcept;

// The system window of the form's control index on window, inside its
// containers; null when it does not exist (now). Any thread.
HWND ControlWindow(HWND window, const Form& form, std::size_t index) noexcept;

// The name by which callers select a kind.
std::string_view KindName(ControlKind kind) noexcept;

// For a loaded window that has not been shown yet: the toolkit shows it
// maximised. False when window is no loaded form window.
bool MaximiseWhenShown(HWND window) noexcept;

// Registers the form window class once; the class name.
const char* FormClassName() noexcept;

}  // namespace platform::gui::internal
