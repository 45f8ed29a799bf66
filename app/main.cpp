#include <windows.h>

#include "app/main_window.h"
#include "platform/folders.h"

// The command line is not read.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  platform::SetCurrentDirectoryToRunDirectory();
  return app::RunProgram();
}
