// Linked into every test program: an exception that nothing handles (an
// undefined-behaviour trap of the checked build, an access violation) ends
// the program at once with the exception's code as its exit code.
//
// Left to Wine, the unhandled exception starts winedbg, which ends the
// process itself; the exit status that `wine test.exe` then gives CTest is
// 0 about half of the time (Wine 8.0), so a test program that crashed could
// pass. A parent that asks GetExitCodeProcess always sees the code; the wine
// launcher does too once the process ends itself, as here.
#include <windows.h>

#include <cstdio>

namespace {

LONG WINAPI EndWithTheExceptionCode(EXCEPTION_POINTERS* pointers) noexcept {
  const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
  std::fprintf(stderr, "unhandled exception 0x%08lX at %p%s\n", record->ExceptionCode,
               record->ExceptionAddress,
               record->ExceptionCode == EXCEPTION_ILLEGAL_INSTRUCTION
                   ? " (an undefined-behaviour trap of the checked build)"
                   : "");
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), record->ExceptionCode);
  return EXCEPTION_EXECUTE_HANDLER;
}

// Before main: a static initialiser of this file.
const LPTOP_LEVEL_EXCEPTION_FILTER previousFilter =
    SetUnhandledExceptionFilter(EndWithTheExceptionCode);

}  // namespace
