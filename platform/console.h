// The standard output and error streams of a console program.
#pragma once

#include <string_view>

namespace platform {

enum class StandardStream { Output, Error };

// Writes text (ANSI code page) to the stream whole. A console shows its
// characters whatever its code page (`chcp`); a pipe or file gets bytes in
// the code page of the process's console, which is what cmd's `for /f` and
// PowerShell decode them with, or the ANSI bytes unchanged when the process
// has no console. False when the stream is closed or refuses the write.
bool WriteStandardStream(StandardStream stream, std::string_view text);

}  // namespace platform
