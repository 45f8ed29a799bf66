// ConfigStore: the program's settings in one INI file (code page 936), read
// and written through the system's profile functions, every value enciphered
// under a key (cipher/value_cipher.h) when one applies.
#pragma once

#include <string>
#include <string_view>

namespace config {

// The key for values that need enciphering when the store has no key of its
// own: a fixed six-character text followed by the decimal text of a fixed
// real number. Never change it: files written with it must stay readable.
std::string BuiltInKey();

// Creates every folder of path (a trailing backslash is added when the path
// does not end in one). True when they all exist afterwards.
bool EnsureFolderExists(std::string_view path);

// The folder part of a path, up to and including its last backslash (a
// trailing backslash dropped first), or the empty text: "E:\cfg\app.ini" and
// "E:\cfg\sub\" give "E:\cfg\", "app.ini" gives "".
std::string FolderPartOf(std::string_view path);

// True when path names an existing directory.
bool IsFolder(std::string_view path);

class ConfigStore {
 public:
  // defaultSection "System", every other text empty.
  ConfigStore();
  ~ConfigStore();
  ConfigStore(const ConfigStore&);
  ConfigStore& operator=(const ConfigStore&);

  // Binds the store to an INI file and sets its key and section prefix,
  // replacing all three. A blank file means Data\Config.ini beside the
  // executable. The file's folder is created when missing (failure is not
  // reported: writes then yield false); the file itself is created by the
  // first write. The key is trimmed; file and prefix are kept as given.
  void Open(std::string_view file = {}, std::string_view key = {},
            std::string_view prefix = {});

  // In both item operations a blank section is first replaced, in the
  // caller's own text, by a copy of the default section; the prefix goes in
  // front of it in the file. Values are enciphered under the store's key, or
  // else under BuiltInKey() when useBuiltInKey is true or the item's key is
  // exactly "User" or "Pass"; otherwise they are kept as plain text.

  // Writes value (line breaks folded into a marker, trimmed, enciphered when
  // a key applies). A blank value is written too, as the empty text (the tag
  // alone under a key), so that a cleared text is remembered as cleared.
  // A blank key removes the whole section instead. True when the file was
  // changed; false on a store that was never opened.
  bool WriteItem(std::string& section, std::string_view key, std::string_view value,
                 bool useBuiltInKey = false) const;
  // With the value omitted: removes the item, or with a blank key the whole
  // section.
  bool WriteItem(std::string& section, std::string_view key = {}) const;

  // The item's value, or defaultValue when it is absent (or the store was
  // never opened). The empty text for a blank key, and for a value that does
  // not carry the tag of the key that applies.
  std::string ReadItem(std::string& section, std::string_view key,
                       std::string_view defaultValue = {}, bool useBuiltInKey = false) const;

  // Every ASCII and full-width space is removed from name.
  void SetDefaultSection(std::string_view name);
  void SetSectionPrefix(std::string_view prefix);

  // (The control state and window placement memories take their places
  // here.)

  const std::string& FilePath() const noexcept { return filePath_; }
  const std::string& CipherKey() const noexcept { return cipherKey_; }
  const std::string& DefaultSection() const noexcept { return defaultSection_; }
  const std::string& SectionPrefix() const noexcept { return sectionPrefix_; }

 private:
  std::string ComposeSection(std::string& section) const;
  std::string ChooseCipherKey(std::string_view key, bool useBuiltInKey) const;
  std::string Lookup(std::string_view composedSection, std::string_view key) const;

  std::string filePath_;
  std::string cipherKey_;
  std::string defaultSection_;
  std::string sectionPrefix_;
};

}  // namespace config
