#include "platform/folders.h"

#include <windows.h>
#include <dbghelp.h>
#include <shlwapi.h>

#include "platform/bind.h"
#include "text/gbk_text.h"

namespace platform {

std::string ExecutablePath() {
  // GetModuleFileNameA truncates silently when the buffer is too small, so
  // grow it until the path fits (paths may exceed MAX_PATH).
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::string RunDirectory() {
  const std::string path = ExecutablePath();
  const std::size_t slash = text::LastBackslash(path);
  return slash == text::npos ? std::string() : path.substr(0, slash);
}

std::string ExecutableFileName() {
  const std::string path = ExecutablePath();
  const std::size_t slash = text::LastBackslash(path);
  return slash == text::npos ? path : path.substr(slash + 1);
}

bool MakeSureDirectoryPathExists(std::string_view path) {
  static const auto fn = KORVALIN_BIND(MakeSureDirectoryPathExists, "dbghelp.dll");
  const std::string p(path);
  return fn(p.c_str()) != FALSE;
}

int QueryPathIsDirectory(std::string_view path) {
  static const auto fn = KORVALIN_BIND(PathIsDirectoryA, "shlwapi.dll");
  const std::string p(path);
  return static_cast<int>(fn(p.c_str()));
}

bool SetCurrentDirectoryToRunDirectory() {
  std::string dir = RunDirectory();
  // "D:" alone would mean drive D's current folder, not its root.
  if (dir.size() == 2 && dir[1] == ':') dir += '\\';
  return SetCurrentDirectoryA(dir.c_str()) != FALSE;
}

}  // namespace platform
