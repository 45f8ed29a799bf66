// Keeps the Wine desktop of a test session alive. Wine's desktop process ends
// a few seconds after the last window on it is gone, and a GUI program that
// starts in that moment can stall. scripts/wine-session.sh starts this
// program after the server; `wineserver -k` ends it with the session.
//
// With a file name as its argument it creates that file once its window
// exists, so the script can wait until the desktop is up: a desktop started
// later by a test's own process would hold the test runner's pipes.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
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
  if (commandLine && *commandLine) {
    HANDLE ready = CreateFileA(commandLine, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
  }
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
