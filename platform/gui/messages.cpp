#include "platform/gui/messages.h"

#include <windows.h>

#include "platform/gui/internal.h"
#include "platform/gui/toolkit.h"

namespace platform::gui {
namespace {

bool loopRunning = false;  // GUI thread only

}  // namespace

namespace internal {

void Dispatch(MSG& msg) noexcept {
  if (PreTranslate(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

bool MessageLoopRunning() noexcept { return loopRunning; }

void RunNestedLoop(const bool& done) noexcept {
  MSG msg;
  while (!done) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == -1) return;
    if (got == 0) {
      // The quit message belongs to the outer loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    Dispatch(msg);
  }
}

}  // namespace internal

void ProcessWaitingMessages() noexcept {
  MSG msg;
  // Peek first without removing, so that a quit message is left in place for
  // the loop that owns it.
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
    if (msg.message == WM_QUIT) return;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return;
    if (msg.message == WM_QUIT) {
      // A quit message posted between the two peeks: put it back.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    internal::Dispatch(msg);
  }
}

int RunMessageLoop() noexcept {
  loopRunning = true;
  MSG msg;
  int code = 0;
  for (;;) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      code = static_cast<int>(msg.wParam);
      break;
    }
    if (got == -1) break;
    internal::Dispatch(msg);
  }
  loopRunning = false;
  return code;
}

}  // namespace platform::gui
