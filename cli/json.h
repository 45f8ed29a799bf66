// JSON for scripts.
#pragma once

#include <string>
#include <string_view>

namespace cli {

// A JSON string literal of a text in the ANSI code page, quotes included.
// Every character outside printable ASCII is written as a \u escape of its
// UTF-16 form, so the JSON is plain ASCII: it reads the same in every code
// page and is valid UTF-8, whatever code page the output passes through.
std::string JsonString(std::string_view ansi);

}  // namespace cli
