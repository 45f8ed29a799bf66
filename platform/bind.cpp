#include "platform/bind.h"

#include <windows.h>

#include <string>

#include "platform/folders.h"

namespace platform {

void* BindFunction(const char* dll, const char* name) {
  const std::string local = RunDirectory() + "\\" + dll;
  HMODULE module = LoadLibraryA(local.c_str());
  if (!module) module = LoadLibraryA(dll);
  FARPROC proc = module ? GetProcAddress(module, name) : nullptr;
  if (!proc) {
    const std::string what = std::string("无法调用 ") + dll + " 中的 " + name;
    FatalError(what.c_str());
  }
  return reinterpret_cast<void*>(proc);
}

void FatalError(const char* what) noexcept {
  MessageBoxA(nullptr, what, "错误", MB_OK | MB_ICONERROR | MB_TASKMODAL);
  ExitProcess(static_cast<UINT>(-1));
}

}  // namespace platform
