#include "platform/threads.h"

#include <windows.h>

#include <memory>
#include <utility>

namespace platform {
namespace {

using Routine = std::function<void()>;

DWORD WINAPI RunTask(LPVOID parameter) {
  const std::unique_ptr<Routine> routine(static_cast<Routine*>(parameter));
  (*routine)();
  return 0;
}

}  // namespace

bool StartBackgroundTask(std::function<void()> routine) noexcept {
  if (!routine) return false;
  auto owned = std::make_unique<Routine>(std::move(routine));
  HANDLE thread = CreateThread(nullptr, 0, RunTask, owned.get(), 0, nullptr);
  if (!thread) return false;
  owned.release();  // the thread's now
  CloseHandle(thread);
  return true;
}

}  // namespace platform
