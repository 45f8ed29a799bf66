// Binding system functions by name at their first call.
#pragma once

namespace platform {

// Address of function `name` in `dll`. The library is looked for in the run
// directory first, then by the system's search, and stays loaded for the life
// of the process. A function that cannot be bound is an internal fault: a
// modal error message, then the process ends.
void* BindFunction(const char* dll, const char* name);

// Binds once, thread-safely (a function-local static), and casts to F.
template <typename F>
F Bound(const char* dll, const char* name) {
  return reinterpret_cast<F>(BindFunction(dll, name));
}

// Shows a modal error message and ends the process at once.
[[noreturn]] void FatalError(const char* what) noexcept;

}  // namespace platform

// Declares a function-local static pointer bound at the first call:
//   static const auto fn = KORVALIN_BIND(PathIsDirectoryA, "shlwapi.dll");
#define KORVALIN_BIND(function, dll) \
  ::platform::Bound<decltype(&::function)>(dll, #function)
