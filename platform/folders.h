// Folders and the executable's own location.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Full path of the running executable, as the system reports it.
std::string ExecutablePath();

// The executable's folder without a trailing backslash ("D:" for a program
// at the root of drive D).
std::string RunDirectory();

// The part of the executable's path after its last backslash ("App.exe").
std::string ExecutableFileName();

// MakeSureDirectoryPathExists (dbghelp.dll): creates every folder named
// before the path's last backslash. True on success, also when they exist.
bool MakeSureDirectoryPathExists(std::string_view path);

// PathIsDirectoryA (shlwapi.dll), its raw result: 16 for a directory
// (FILE_ATTRIBUTE_DIRECTORY), 0 otherwise.
int QueryPathIsDirectory(std::string_view path);

// Makes the run directory the process's current directory.
bool SetCurrentDirectoryToRunDirectory();

}  // namespace platform
