#include "cli/client.h"

#include "platform/code_page.h"
#include "text/gbk_text.h"

namespace cli {
namespace {

bool EndsInBackslash(std::string_view path) noexcept {
  // A character test: the trail byte of a double-byte character may be 0x5C.
  return !path.empty() && text::LastBackslash(path) == path.size() - 1;
}

std::string_view WithoutTrailingBackslashes(std::string_view path) noexcept {
  while (EndsInBackslash(path)) path.remove_suffix(1);
  return path;
}

}  // namespace

std::string ClientPath(std::string_view folder) {
  std::string path(folder);
  if (!EndsInBackslash(path)) path += '\\';
  return path + std::string(kClientFileName);
}

ClientInfo InspectClient(std::string_view folder) {
  ClientInfo info;
  if (folder.empty()) return info;
  const std::string path = ClientPath(folder);
  info.found = platform::IsExistingFile(path);
  if (info.found) info.versionKnown = platform::ReadFileVersion(path, &info.version);
  return info;
}

std::string VersionText(const platform::FileVersion& version) {
  std::string s;
  for (int i = 0; i < 4; ++i) {
    if (i > 0) s += '.';
    s += text::IntToText(version.parts[i]);
  }
  return s;
}

bool ParseVersion(std::string_view text, std::vector<unsigned>* parts) {
  parts->clear();
  std::size_t i = 0;
  for (;;) {
    unsigned value = 0;
    std::size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      value = value * 10 + static_cast<unsigned>(text[i] - '0');
      if (value > 65535) return false;
      ++digits;
      ++i;
    }
    if (digits == 0 || parts->size() == 4) return false;
    parts->push_back(value);
    if (i == text.size()) return true;
    if (text[i] != '.') return false;
    ++i;
  }
}

bool VersionMatches(const platform::FileVersion& found, const std::vector<unsigned>& expected) {
  if (expected.empty() || expected.size() > 4) return false;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (found.parts[i] != expected[i]) return false;
  }
  return true;
}

bool SameFolder(std::string_view a, std::string_view b) {
  if (a.empty() || b.empty()) return false;
  return platform::EqualIgnoringCase(WithoutTrailingBackslashes(a), WithoutTrailingBackslashes(b));
}

}  // namespace cli
