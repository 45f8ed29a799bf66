#include "platform/console.h"

#include <windows.h>

#include <climits>
#include <string>

#include "platform/code_page.h"

namespace platform {
namespace {

// WriteFile and WriteConsoleW may take less than they are given, and old
// consoles refuse a single write of more than about 64 KB: write in pieces
// until all of it is written.
template <typename Char, typename Write>
bool WriteAll(const Char* data, std::size_t size, Write write) {
  constexpr std::size_t kPiece = 16384 / sizeof(Char);
  while (size > 0) {
    const DWORD piece = static_cast<DWORD>(size > kPiece ? kPiece : size);
    DWORD written = 0;
    if (!write(data, piece, &written) || written == 0) return false;
    data += written;
    size -= written;
  }
  return true;
}

bool WriteAllBytes(HANDLE handle, const char* data, std::size_t size) {
  return WriteAll(data, size, [handle](const char* piece, DWORD n, DWORD* written) {
    return WriteFile(handle, piece, n, written, nullptr) != FALSE;
  });
}

std::string Utf16ToCodePage(const std::wstring& wide, UINT codePage) {
  if (wide.empty() || wide.size() > INT_MAX) return {};
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string bytes(static_cast<std::size_t>(n), '\0');
  const int written =
      WideCharToMultiByte(codePage, 0, wide.data(), size, bytes.data(), n, nullptr, nullptr);
  bytes.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return bytes;
}

}  // namespace

bool WriteStandardStream(StandardStream stream, std::string_view text) {
  HANDLE handle =
      GetStdHandle(stream == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
  if (text.empty()) return true;
  DWORD mode = 0;
  if (GetConsoleMode(handle, &mode)) {
    // WriteConsoleA would read the bytes in the console's output code page,
    // which `chcp 65001` makes UTF-8: GBK would show as noise.
    const std::wstring wide = AnsiToUtf16(text);
    return WriteAll(wide.data(), wide.size(),
                    [handle](const wchar_t* piece, DWORD n, DWORD* written) {
                      return WriteConsoleW(handle, piece, n, written, nullptr) != FALSE;
                    });
  }
  // 0 when the process has no console.
  const UINT consoleCodePage = GetConsoleOutputCP();
  if (consoleCodePage == 0 || consoleCodePage == GetACP()) {
    return WriteAllBytes(handle, text.data(), text.size());
  }
  const std::string bytes = Utf16ToCodePage(AnsiToUtf16(text), consoleCodePage);
  return WriteAllBytes(handle, bytes.data(), bytes.size());
}

}  // namespace platform
