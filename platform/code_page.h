// Text in the ANSI code page (936, GBK), converted and compared by the system.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// MultiByteToWideChar from the ANSI code page: the UTF-16 form of the text.
std::wstring AnsiToUtf16(std::string_view s);

// CompareStringOrdinal with case ignored, on the UTF-16 forms: how the file
// system compares names (one upper-case table for every letter, Latin,
// Greek, Cyrillic and full-width alike, and no locale rules). Byte
// comparisons of GBK text cannot do this: a full-width Ａ and ａ differ
// only in their trail bytes.
bool EqualIgnoringCase(std::string_view a, std::string_view b);

}  // namespace platform
