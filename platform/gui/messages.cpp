#include "platform/gui/messages.h"

#include <windows.h>

namespace platform::gui {

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
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace platform::gui
