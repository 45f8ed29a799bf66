#include "platform/code_page.h"

#include <windows.h>

#include <climits>

namespace platform {

std::wstring AnsiToUtf16(std::string_view s) {
  if (s.empty() || s.size() > INT_MAX) return {};
  const int size = static_cast<int>(s.size());
  const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), size, nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  const int written = MultiByteToWideChar(CP_ACP, 0, s.data(), size, wide.data(), n);
  wide.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return wide;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  const std::wstring wa = AnsiToUtf16(a);
  const std::wstring wb = AnsiToUtf16(b);
  if (wa.size() > INT_MAX || wb.size() > INT_MAX) return false;
  return CompareStringOrdinal(wa.data(), static_cast<int>(wa.size()), wb.data(),
                              static_cast<int>(wb.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace platform
