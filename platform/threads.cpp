#include "platform/threads.h"

#include <windows.h>

namespace platform {
namespace {

DWORD WINAPI RunTask(LPVOID routine) {
  reinterpret_cast<void (*)()>(routine)();
  return 0;
}

}  // namespace

bool StartBackgroundTask(void (*routine)()) noexcept {
  HANDLE thread =
      CreateThread(nullptr, 0, RunTask, reinterpret_cast<LPVOID>(routine), 0, nullptr);
  if (!thread) return false;
  CloseHandle(thread);
  return true;
}

}  // namespace platform
