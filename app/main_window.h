// The program: start-up and shutdown, MainWindow and IntroWindow.
#pragma once

#include "config/config_store.h"
#include "platform/gui/form.h"

namespace app {

// The one process-wide store: constructed at start, opened by MainWindow's
// created event, released by ReleaseAtExit (null before and after).
config::ConfigStore* Store() noexcept;

// The main window, its fifteen controls, and its events.
extern const platform::gui::Form MainWindow;

// The introduction, opened modally over MainWindow by the button 介绍.
extern const platform::gui::Form IntroWindow;

// The whole life of the process on its main thread, which becomes the GUI
// thread: toolkit, store, exit routine, MainWindow, message loop, shutdown.
// Yields the exit code: 0, or -1 when MainWindow cannot be created.
int RunProgram() noexcept;

// MainWindow's created event: opens the store on its default file with the
// main window's key.
void OnMainWindowCreated(platform::gui::Window window) noexcept;

// The click handler of 介绍: IntroWindow, modal over the window clicked.
void ShowIntroduction(platform::gui::Window window) noexcept;

// The exit routine: releases the program's process-wide state, the store
// among it.
void ReleaseAtExit() noexcept;

}  // namespace app
