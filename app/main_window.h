// The program: start-up and shutdown, MainWindow and IntroWindow.
#pragma once

#include "platform/gui/form.h"

namespace app {

// The main window, its fifteen controls, and its events.
extern const platform::gui::Form MainWindow;

// The introduction, opened modally over MainWindow by the button 介绍.
extern const platform::gui::Form IntroWindow;

// The whole life of the process on its main thread, which becomes the GUI
// thread: toolkit, store, exit routine, MainWindow, message loop, shutdown.
// Yields the exit code: 0, or -1 when MainWindow cannot be created.
int RunProgram() noexcept;

// MainWindow's created event.
void OnMainWindowCreated(platform::gui::Window window) noexcept;

// The click handler of 介绍: IntroWindow, modal over the window clicked.
void ShowIntroduction(platform::gui::Window window) noexcept;

// The exit routine: releases the program's process-wide state.
void ReleaseAtExit() noexcept;

}  // namespace app
