// Files: existence, full path names and version resources.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// True when path names an existing file that is not a directory
// (GetFileAttributesA).
bool IsExistingFile(std::string_view path);

// GetFullPathNameA: path made absolute against the current directory, with
// "." and ".." resolved and forward slashes turned into backslashes. The
// empty text when the system refuses the path.
std::string FullPathName(std::string_view path);

// The four parts of a version resource's file version, most significant
// first (3.9.5.81 is {3, 9, 5, 81}).
struct FileVersion {
  unsigned short parts[4];
};

// The file version in the fixed part of the file's version resource
// (GetFileVersionInfoSizeA, GetFileVersionInfoA, VerQueryValueA of "\"),
// read without running the file. False when it has none or cannot be read.
bool ReadFileVersion(std::string_view path, FileVersion* version);

}  // namespace platform
