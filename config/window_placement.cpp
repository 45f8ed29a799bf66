// ConfigStore's window placement memory: a window's outer rectangle and
// display state in a section named after the executable file.
#include <string>

#include "config/config_store.h"
#include "platform/folders.h"
#include "platform/gui/toolkit.h"
#include "platform/gui/window_state.h"
#include "text/gbk_text.h"

namespace config {
namespace {

namespace gui = platform::gui;

// The display states as stored; only kMaximised is acted on when restoring,
// and only when the item reads exactly "3".
constexpr int kNormal = 0;
constexpr int kMinimised = 2;
constexpr int kMaximised = 3;

int DisplayState(gui::Window window) noexcept {
  if (gui::IsMinimised(window)) return kMinimised;
  if (gui::IsMaximised(window)) return kMaximised;
  return kNormal;
}

// A window kept at least this far inside the primary screen's right and
// bottom edges can still be grabbed by its title bar.
constexpr int kVisibleMargin = 300;

// A negative edge (a monitor to the left or above) becomes the screen's edge;
// one too near the far side or past it (a monitor to the right or below)
// becomes the middle of the screen.
int OntoScreen(int edge, int screenExtent) noexcept {
  if (edge < 0) return 0;
  if (edge > screenExtent - kVisibleMargin) return screenExtent / 2;
  return edge;
}

}  // namespace

void ConfigStore::SaveWindowPlacement(gui::Window window, bool withSize) const {
  std::string section = platform::ExecutableFileName();
  // Each value is read just before its item is written, and writing lets
  // window handlers run: a window closed meanwhile ends the record there
  // rather than filling it with the zeros of a window that is gone.
  const auto write = [&](std::string_view key, auto valueOf) {
    if (!gui::IsLoaded(window)) return;
    WriteItem(section, key, text::IntToText(valueOf()));
  };
  write("WinTop", [&] { return gui::WindowRect(window).top; });
  write("WinLeft", [&] { return gui::WindowRect(window).left; });
  if (withSize) {
    write("WinWidth", [&] { return gui::WindowRect(window).width; });
    write("WinHeight", [&] { return gui::WindowRect(window).height; });
  }
  write("Maximization", [&] { return DisplayState(window); });
}

void ConfigStore::RestoreWindowPlacement(gui::Window window, bool withSize) const {
  if (!gui::IsLoaded(window)) return;
  std::string section = platform::ExecutableFileName();
  if (ReadItem(section, "Maximization", "0") == text::IntToText(kMaximised)) {
    gui::Maximise(window);
    return;
  }
  // Nothing saved yet: the window keeps the place it was given.
  if (!IsStored(section, "WinTop")) return;
  int top = text::TextToInt(ReadItem(section, "WinTop", "-1"));
  int left = text::TextToInt(ReadItem(section, "WinLeft", "-1"));
  int width = -1;
  int height = -1;
  if (withSize) {
    width = text::TextToInt(ReadItem(section, "WinWidth", "-1"));
    height = text::TextToInt(ReadItem(section, "WinHeight", "-1"));
  }
  const gui::ScreenSize screen = gui::PrimaryScreenSize();
  left = OntoScreen(left, screen.width);
  top = OntoScreen(top, screen.height);
  // No stored width keeps the whole size, even with a height stored.
  if (width == -1) height = -1;
  gui::MoveWindowTo(window, left, top, width, height);
}

}  // namespace config
