#include "platform/gui/toolkit.h"

#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

#include "platform/gui/internal.h"

namespace platform::gui {
namespace {

// GUI thread only.
std::vector<void (*)() noexcept> exitRoutines;
bool oleInitialized = false;

}  // namespace

void Initialize() noexcept {
  if (!oleInitialized) oleInitialized = SUCCEEDED(OleInitialize(nullptr));
  internal::FormClassName();
}

void AtExit(void (*routine)() noexcept) noexcept { exitRoutines.push_back(routine); }

void Shutdown() noexcept {
  // Taken out first: each routine runs once even if one registers another or
  // Shutdown is called again.
  while (!exitRoutines.empty()) {
    const auto routine = exitRoutines.back();
    exitRoutines.pop_back();
    if (routine) routine();
  }
  if (oleInitialized) {
    OleUninitialize();
    oleInitialized = false;
  }
}

int Run(const Form& main) noexcept {
  if (!Load(main)) {
    const std::string what = "无法创建窗口“" + std::string(main.title) + "”";
    MessageBoxA(nullptr, what.c_str(), "错误", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    return -1;
  }
  const int code = RunMessageLoop();
  Shutdown();
  return code;
}

void ShowMessage(std::string_view text, std::string_view caption) noexcept {
  const std::string t(text);
  const std::string c(caption);
  MessageBoxA(nullptr, t.c_str(), c.c_str(), MB_OK | MB_TASKMODAL);
}

}  // namespace platform::gui
