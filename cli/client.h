// What a client folder holds, and the rules the command-line companion
// compares folders and versions by.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace cli {

// The client's program file in its folder.
inline constexpr std::string_view kClientFileName = "WeChat.exe";

// folder + "\WeChat.exe", without doubling a trailing backslash.
std::string ClientPath(std::string_view folder);

struct ClientInfo {
  bool found = false;         // WeChat.exe is a file in the folder
  bool versionKnown = false;  // and its version resource could be read
  platform::FileVersion version{};
};

// Looks at folder\WeChat.exe without running it.
ClientInfo InspectClient(std::string_view folder);

// "3.9.5.81".
std::string VersionText(const platform::FileVersion& version);

// One to four decimal numbers separated by dots, each at most 65535
// ("3.9", "3.9.5.81"). False for anything else.
bool ParseVersion(std::string_view text, std::vector<unsigned>* parts);

// True when the leading parts of found are the expected ones: 3.9 matches
// 3.9.5.81 but not 3.90.0.1.
bool VersionMatches(const platform::FileVersion& found, const std::vector<unsigned>& expected);

// Whether two folder texts name the same folder as Windows compares paths:
// case ignored, trailing backslashes ignored. An empty text names no folder.
bool SameFolder(std::string_view a, std::string_view b);

}  // namespace cli
