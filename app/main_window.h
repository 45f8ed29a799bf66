// The program: start-up and shutdown, MainWindow with its version slots (the
// switch and the remembered folders), and IntroWindow.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "config/config_store.h"
#include "config/version_slots.h"
#include "platform/gui/form.h"

namespace app {

// The one process-wide store: constructed at start, opened by MainWindow's
// created event, released by ReleaseAtExit (null before and after). GUI
// thread only.
config::ConfigStore* Store() noexcept;

// Constructs the store: defaultSection "System", its other texts empty.
void CreateStore();

// A share of the store, for work that must not lose it midway: a background
// task, or a save during which window handlers run. Null when there is none.
std::shared_ptr<const config::ConfigStore> ShareStore() noexcept;

// One row per version slot: the slot (number, label, item key) and its
// controls in MainWindow.
struct WindowSlot {
  const config::VersionSlot& slot;
  std::string_view box;
  std::string_view browse;
  std::string_view use;
};

inline constexpr WindowSlot kWindowSlots[] = {
    {config::kVersionSlots[0], "编辑框1", "按钮3", "按钮1"},
    {config::kVersionSlots[1], "编辑框2", "按钮2", "按钮4"},
    {config::kVersionSlots[2], "编辑框3", "按钮5", "按钮6"},
};

// The box that shows the client's current install path.
inline constexpr std::string_view kCurrentPathBox = "编辑框4";

// The main window, its fifteen controls, and its events.
extern const platform::gui::Form MainWindow;

// The introduction, opened modally over MainWindow by the button 介绍.
extern const platform::gui::Form IntroWindow;

// The whole life of the process on its main thread, which becomes the GUI
// thread: toolkit, store, exit routine, MainWindow, message loop, shutdown.
// Yields the exit code: 0, or -1 when MainWindow cannot be created.
int RunProgram() noexcept;

// MainWindow's created event: starts RefreshCurrentPath, opens the store on
// its default file with the slots' key, then starts LoadSlotPaths.
void OnMainWindowCreated(platform::gui::Window window) noexcept;

// A Use button: writes the slot box's text, byte for byte, into the client's
// InstallPath; on success confirms with "切换成功" and, once that is closed,
// starts RefreshCurrentPath. A failed write shows and refreshes nothing.
void SwitchToSlot(platform::gui::Window window, int slot) noexcept;

// A Browse button: the folder picker titled "选择微信目录"; a chosen folder
// goes into the slot's box and is remembered for the slot. Cancel changes
// nothing.
void BrowseForSlot(platform::gui::Window window, int slot) noexcept;

// What the folder picker gave the latest Browse (empty after Cancel), kept
// until ReleaseAtExit. GUI thread only.
const std::string& PickedFolder() noexcept;
void ReleasePickedFolder() noexcept;

// Background task: 编辑框4 shows the client's InstallPath as it reads now.
void RefreshCurrentPath(platform::gui::Window window) noexcept;

// Background task: the three slot boxes show the folders remembered in
// store (the empty text for a slot with none).
void LoadSlotPaths(platform::gui::Window window, const config::ConfigStore& store) noexcept;

// The click handler of 介绍: IntroWindow, modal over the window clicked.
void ShowIntroduction(platform::gui::Window window) noexcept;

// The exit routine: releases PickedFolder(), the folder picker's initial
// folder and the store, in that order. Background tasks still running keep
// their own share of the store (ShareStore) until they end.
void ReleaseAtExit() noexcept;

// A seam for tests: when set, each background task calls it on its own
// thread just before it hands a box its text (box 0 is 编辑框4, 1 to 3 the
// slot boxes). A test may block in it to keep the task busy.
using TaskProbe = void (*)(int box, std::string_view text) noexcept;
void SetTaskProbe(TaskProbe probe) noexcept;

}  // namespace app
