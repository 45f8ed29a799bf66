#include "config/config_store.h"

#include "cipher/value_cipher.h"
#include "platform/folders.h"
#include "platform/profile.h"
#include "text/gbk_text.h"

namespace config {
namespace {

constexpr std::string_view kBuiltInKeyText = "Qelmar";
// The decimal text of the fixed real number 20.48, written out: formatting a
// double at run time (std::to_chars) links some 200 KB of conversion tables
// into every program for these five characters.
constexpr std::string_view kBuiltInKeyNumber = "20.48";

// Passed as the default of every lookup: a value that reads back as exactly
// these ten bytes is an absent item.
constexpr std::string_view kAbsentMarker = "\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01";
// 10,239 bytes of value and the terminating zero.
constexpr std::size_t kLookupBufferSize = 10240;

// A value stays on one line of the file: CR LF is folded into this marker.
// "><br><" is unfolded too, but never written.
constexpr std::string_view kLineBreakMarker = "{#换行符}";
constexpr std::string_view kOtherLineBreakMarker = "><br><";
constexpr std::string_view kCrLf = "\r\n";

// The profile functions are handed names without their leading control
// characters and spaces (bytes 1 to 32).
std::string_view SkipLeadingControls(std::string_view s) noexcept {
  std::size_t i = 0;
  while (i < s.size() && static_cast<unsigned char>(s[i]) >= 1 &&
         static_cast<unsigned char>(s[i]) <= 32) {
    ++i;
  }
  return s.substr(i);
}

bool EndsInBackslash(std::string_view path) noexcept {
  // A character test, not a byte test: a double-byte character may end in
  // 0x5C.
  return !path.empty() && text::LastBackslash(path) == path.size() - 1;
}

}  // namespace

std::string BuiltInKey() { return std::string(kBuiltInKeyText) + std::string(kBuiltInKeyNumber); }

bool EnsureFolderExists(std::string_view path) {
  std::string folder(path);
  if (!EndsInBackslash(folder)) folder += '\\';
  return platform::MakeSureDirectoryPathExists(folder);
}

std::string FolderPartOf(std::string_view path) {
  if (EndsInBackslash(path)) path.remove_suffix(1);
  const std::size_t slash = text::LastBackslash(path);
  return slash == text::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

bool IsFolder(std::string_view path) {
  constexpr int kFileAttributeDirectory = 16;
  return platform::QueryPathIsDirectory(path) == kFileAttributeDirectory;
}

ConfigStore::ConfigStore() : defaultSection_("System") {}
ConfigStore::~ConfigStore() = default;
ConfigStore::ConfigStore(const ConfigStore&) = default;
ConfigStore& ConfigStore::operator=(const ConfigStore&) = default;

void ConfigStore::Open(std::string_view file, std::string_view key, std::string_view prefix) {
  // Built apart first: the arguments may be views of this store's own texts.
  std::string path;
  if (text::IsBlank(file)) {
    const std::string runDirectory = platform::RunDirectory();
    EnsureFolderExists(runDirectory + "\\Data");
    path = runDirectory + "\\Data\\Config.ini";
  } else {
    path = std::string(file);
    const std::string folder = FolderPartOf(file);
    if (!folder.empty() && !IsFolder(folder)) EnsureFolderExists(folder);
  }
  std::string trimmedKey = text::Trim(key);
  std::string newPrefix(prefix);
  filePath_ = std::move(path);
  cipherKey_ = std::move(trimmedKey);
  sectionPrefix_ = std::move(newPrefix);
}

std::string ConfigStore::ComposeSection(std::string& section) const {
  if (text::IsBlank(section)) section = defaultSection_;
  return sectionPrefix_ + section;
}

std::string ConfigStore::ChooseCipherKey(std::string_view key, bool useBuiltInKey) const {
  if (!cipherKey_.empty()) return cipherKey_;
  if (useBuiltInKey || key == "User" || key == "Pass") return BuiltInKey();
  return {};
}

std::string ConfigStore::Lookup(std::string_view composedSection, std::string_view key) const {
  const std::string file(SkipLeadingControls(filePath_));
  const std::string sectionName(SkipLeadingControls(composedSection));
  const std::string keyName(SkipLeadingControls(key));
  if (file.empty() || sectionName.empty() || keyName.empty()) return {};
  return platform::ReadPrivateProfile(sectionName.c_str(), keyName.c_str(),
                                      std::string(kAbsentMarker).c_str(), kLookupBufferSize,
                                      file.c_str());
}

// Whether the item is in the file at all, whatever its value reads as.
bool ConfigStore::IsStored(std::string& section, std::string_view key) const {
  const std::string composed = ComposeSection(section);
  return !filePath_.empty() && !text::IsBlank(key) && Lookup(composed, key) != kAbsentMarker;
}

bool ConfigStore::WriteItem(std::string& section, std::string_view key, std::string_view value,
                            bool useBuiltInKey) const {
  const std::string composed = ComposeSection(section);
  if (filePath_.empty()) return false;
  // Copied before enciphering: it lets window handlers run, and they may
  // change the caller's texts.
  const std::string keyName(key);
  const std::string file = filePath_;
  if (text::IsBlank(keyName)) {
    return platform::WritePrivateProfile(composed.c_str(), nullptr, nullptr, file.c_str());
  }
  std::string stored = text::Trim(text::ReplaceAll(value, kCrLf, kLineBreakMarker));
  const std::string cipherKey = ChooseCipherKey(keyName, useBuiltInKey);
  if (!cipherKey.empty()) stored = cipher::EncodeValue(stored, cipherKey);
  return platform::WritePrivateProfile(composed.c_str(), keyName.c_str(), stored.c_str(),
                                       file.c_str());
}

bool ConfigStore::WriteItem(std::string& section, std::string_view key) const {
  const std::string composed = ComposeSection(section);
  if (filePath_.empty()) return false;
  const std::string keyName(key);
  return platform::WritePrivateProfile(composed.c_str(),
                                       text::IsBlank(keyName) ? nullptr : keyName.c_str(),
                                       nullptr, filePath_.c_str());
}

std::string ConfigStore::ReadItem(std::string& section, std::string_view key,
                                  std::string_view defaultValue, bool useBuiltInKey) const {
  const std::string composed = ComposeSection(section);
  if (text::IsBlank(key)) return {};
  std::string value;
  const std::string raw = filePath_.empty() ? std::string(kAbsentMarker) : Lookup(composed, key);
  if (raw == kAbsentMarker) {
    value = std::string(defaultValue);
  } else {
    const std::string cipherKey = ChooseCipherKey(key, useBuiltInKey);
    value = cipherKey.empty() ? raw : cipher::DecodeValue(raw, cipherKey);
  }
  value = text::ReplaceAll(value, kLineBreakMarker, kCrLf);
  return text::ReplaceAll(value, kOtherLineBreakMarker, kCrLf);
}

void ConfigStore::SetDefaultSection(std::string_view name) {
  defaultSection_ = text::RemoveSpaces(name);
}

void ConfigStore::SetSectionPrefix(std::string_view prefix) { sectionPrefix_ = std::string(prefix); }

}  // namespace config
