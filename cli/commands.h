// korvalin-cli: the switch of the window program for launcher scripts.
#pragma once

#include <string>
#include <vector>

namespace cli {

// Every failure has a code of its own, for scripts to tell them apart.
enum ExitCode : int {
  kSuccess = 0,
  kInternalFailure = 1,        // out of memory
  kUsageError = 2,             // unknown command or option, bad slot number or version
  kEmptySlot = 3,              // the slot remembers no folder
  kFolderOrClientMissing = 4,  // no such folder, no WeChat.exe in it, or no InstallPath
  kRegistryWriteFailed = 5,    // InstallPath not written, or reads back otherwise
  kFileWriteFailed = 6,        // Data\Config.ini not written, or reads back otherwise
  kVersionMismatch = 7,        // the client's version is another, or unreadable
};

// Runs one command line (the arguments after the program's name) and yields
// its exit code. Results go to standard output, one line on standard error
// for a failure.
int Run(const std::vector<std::string>& args);

}  // namespace cli
