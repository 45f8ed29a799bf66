// The form toolkit: windows built from forms (form.h), their events, the
// GUI thread's message loops, the message box and the program's shutdown.
//
// Everything but SetControlText, FindControl and ControlText runs on the GUI
// thread: the thread that called Initialize. Every loop of the toolkit (the
// message loop, the nested loop of a modal window, ProcessWaitingMessages)
// lets Esc close the active window, as its close button does, whichever of
// its controls has the focus.
#pragma once

#include <string>
#include <string_view>

#include "platform/gui/form.h"

namespace platform::gui {

// Makes the calling thread the GUI thread: initialises OLE on it (the folder
// dialog needs a single-threaded apartment) and registers the window class.
void Initialize() noexcept;

// Registers a routine to run once at Shutdown, after the message loop has
// ended and before OLE is released. Routines run last registered first.
void AtExit(void (*routine)() noexcept) noexcept;

// Runs the exit routines, each once, then releases what Initialize took.
void Shutdown() noexcept;

// The program's life after Initialize: loads main, runs the message loop
// until the last window is gone, shuts down, and yields the loop's exit code
// (0). When main cannot be created it reports that in a message box and
// yields -1 at once: no loop, and the exit routines do not run.
int Run(const Form& main) noexcept;

// Builds a window from form: centred on the primary screen (its full size,
// not the work area), controls created, its created event run, then shown.
// An empty Window when the window could not be created or was destroyed by
// its own created event.
Window Load(const Form& form) noexcept;

// Loads form over parent, which owns it, and returns once it is closed:
// every other loaded window that has no parent is disabled meanwhile and
// then gets back the enabled state it had. False when it could not be
// created.
bool LoadModal(const Form& form, Window parent) noexcept;

// Dispatches the GUI thread's messages until the quit message arrives and
// yields its exit code. When the program's last window is destroyed while
// this loop runs, the toolkit posts the quit message with code 0.
int RunMessageLoop() noexcept;

// True while the window exists.
bool IsLoaded(Window window) noexcept;

// The control that the window's form names so (compared byte for byte); an
// empty Control when there is none or the window is gone. Any thread.
Control FindControl(Window window, std::string_view name) noexcept;

// The control's text; empty when the control is gone. Any thread.
std::string ControlText(Control control);

// Sets the control's text and then sends it an EN_CHANGE notification. From
// another thread both reach the control on the GUI thread, and the caller
// waits until the GUI thread has handled them (in any of its loops). A
// control destroyed meanwhile drops the text quietly.
void SetControlText(Control control, std::string_view text) noexcept;

// A task-modal message box with no owner window, an OK button and no icon:
// every window of the GUI thread is disabled until the user closes it.
void ShowMessage(std::string_view text, std::string_view caption) noexcept;

}  // namespace platform::gui
