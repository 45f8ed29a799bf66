// ConfigStore: the program's settings in one INI file (code page 936), read
// and written through the system's profile functions, every value enciphered
// under a key (cipher/value_cipher.h) when one applies.
#pragma once

#include <string>
#include <string_view>

#include "platform/gui/form.h"

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

  // The control state memory. kinds names one kind of control or several,
  // separated by commas: "选择框" (check box), "单选框" (radio button),
  // "组合框" (combo box), "编辑框" (edit box) and "选择夹" (tab control);
  // the pieces are taken as they stand, so "选择框, 编辑框" names check boxes
  // and a kind that does not exist. Each of the window's controls of those
  // kinds that has a tag (trimmed, not blank) is one item of the default
  // section, keyed by kind, "-" and tag: ticked or not ("真", "假"), the
  // index of the chosen entry (with none chosen, also the edit text under
  // the key followed by "-内容"), the text (CR LF written as "><br><", then
  // '"' as "%22"), the index of the open page. Controls that share a kind
  // and tag share one item.
  //
  // Both yield false, touching nothing, for a window that is not loaded or
  // blank kinds; otherwise true, however many items were found or written.

  bool SaveControls(platform::gui::Window window, std::string_view kinds) const;

  // Restores from the items that read as non-empty; a control whose item is
  // missing or empty keeps its state, as does one whose stored index its
  // list or tabs do not have. A control is left alone when its tag followed
  // by a comma occurs anywhere in skipTags; a skipTags that is not blank is
  // first made to end in a comma, in the caller's own text.
  bool RestoreControls(platform::gui::Window window, std::string_view kinds,
                       std::string& skipTags) const;
  bool RestoreControls(platform::gui::Window window, std::string_view kinds) const;

  // The window placement memory: a section named after the executable file
  // (prefix in front) holds "WinTop", "WinLeft", with withSize "WinWidth"
  // and "WinHeight", and "Maximization" (0 normal, 2 minimised, 3
  // maximised) of the window's outer rectangle in screen coordinates. Both
  // do nothing for a window that is not loaded.
  void SaveWindowPlacement(platform::gui::Window window, bool withSize = false) const;

  // Maximises the window when "Maximization" reads exactly "3". Otherwise
  // moves it to the stored place, brought onto the primary screen (a
  // negative edge becomes 0, one within 300 pixels of the far side or
  // beyond it the middle), with withSize also to the stored size (a missing
  // width keeps the size, a missing height the height). Without a stored
  // "WinTop" the window stays where it is.
  void RestoreWindowPlacement(platform::gui::Window window, bool withSize = false) const;

  const std::string& FilePath() const noexcept { return filePath_; }
  const std::string& CipherKey() const noexcept { return cipherKey_; }
  const std::string& DefaultSection() const noexcept { return defaultSection_; }
  const std::string& SectionPrefix() const noexcept { return sectionPrefix_; }

 private:
  std::string ComposeSection(std::string& section) const;
  std::string ChooseCipherKey(std::string_view key, bool useBuiltInKey) const;
  std::string Lookup(std::string_view composedSection, std::string_view key) const;
  bool IsStored(std::string& section, std::string_view key) const;

  std::string filePath_;
  std::string cipherKey_;
  std::string defaultSection_;
  std::string sectionPrefix_;
};

}  // namespace config
