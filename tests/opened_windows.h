// For GUI tests: the system windows of the toolkit's values, and the form
// windows a test loads, destroyed when it ends.
#pragma once

#include <windows.h>

#include <vector>

#include "platform/gui/messages.h"
#include "platform/gui/toolkit.h"

inline HWND Hwnd(platform::gui::Window w) { return static_cast<HWND>(w.handle); }
inline HWND Hwnd(platform::gui::Control c) { return static_cast<HWND>(c.handle); }

class OpenedWindows {
 public:
  OpenedWindows() = default;
  OpenedWindows(const OpenedWindows&) = delete;
  OpenedWindows& operator=(const OpenedWindows&) = delete;
  ~OpenedWindows() {
    for (HWND h : opened_) {
      if (IsWindow(h)) DestroyWindow(h);
    }
    platform::gui::ProcessWaitingMessages();
  }

  // Loads form; an empty Window when that fails.
  platform::gui::Window Open(const platform::gui::Form& form) {
    const platform::gui::Window w = platform::gui::Load(form);
    if (w) opened_.push_back(Hwnd(w));
    return w;
  }

 private:
  std::vector<HWND> opened_;
};
