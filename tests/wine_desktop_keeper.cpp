// Keeps the Wine desktop of a test session alive. Wine's desktop process ends
// a few seconds after the last window on it is gone, and a GUI program that
// starts in that moment can stall. scripts/wine-session.sh starts this
// program after the server; `wineserver -k` ends it with the session.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = instance;
  wc.lpszClassName = "KorvalinDesktopKeeper";
  if (!RegisterClassA(&wc)) return 1;
  // A hidden top-level window: it holds the desktop and is never shown.
  if (!CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 1, 1, nullptr, nullptr,
                       instance, nullptr)) {
    return 1;
  }
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
