// ConfigStore's control state memory: one item per tagged control of the
// kinds asked for, in the default section.
#include <string>
#include <string_view>
#include <vector>

#include "config/config_store.h"
#include "platform/gui/toolkit.h"
#include "platform/gui/window_state.h"
#include "text/gbk_text.h"

namespace config {
namespace {

namespace gui = platform::gui;

enum class Remembered : unsigned char { kTicked, kEntry, kText, kPage };

// The kinds whose state is remembered, by the names the caller selects them
// by; each name also begins the keys of its items.
struct RememberedKind {
  std::string_view name;
  Remembered what;
};

constexpr RememberedKind kRememberedKinds[] = {
    {"选择框", Remembered::kTicked},  // check box: "真" or "假"
    {"单选框", Remembered::kTicked},  // radio button: "真" or "假"
    {"组合框", Remembered::kEntry},   // index of the chosen entry; -1 and the edit text
    {"编辑框", Remembered::kText},    // its text, encoded
    {"选择夹", Remembered::kPage},    // index of the open page
};

const RememberedKind* FindRememberedKind(std::string_view name) noexcept {
  for (const RememberedKind& kind : kRememberedKinds) {
    if (kind.name == name) return &kind;
  }
  return nullptr;
}

// A combo box with no entry chosen keeps its edit text in a second item.
constexpr std::string_view kEditTextSuffix = "-内容";
constexpr std::string_view kNoEntry = "-1";

// An edit box's text is kept on one line and free of double quotes. The
// encoding has no escape: a text that holds "%22" or "><br><" itself comes
// back with a quote or a line break in their place.
constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kLineBreakCode = "><br><";
constexpr std::string_view kQuote = "\"";
constexpr std::string_view kQuoteCode = "%22";

std::string EncodeEditText(std::string_view text) {
  return text::ReplaceAll(text::ReplaceAll(text, kCrLf, kLineBreakCode), kQuote, kQuoteCode);
}

std::string DecodeEditText(std::string_view text) {
  return text::ReplaceAll(text::ReplaceAll(text, kQuoteCode, kQuote), kLineBreakCode, kCrLf);
}

// The pieces of a kinds list, split at every comma and not trimmed; two
// adjacent commas give an empty piece.
std::vector<std::string> SplitAtCommas(std::string_view kinds) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  for (std::size_t comma = text::Find(kinds, ","); comma != text::npos;
       comma = text::Find(kinds, ",", start)) {
    pieces.emplace_back(kinds.substr(start, comma - start));
    start = comma + 1;
  }
  if (start < kinds.size()) pieces.emplace_back(kinds.substr(start));
  return pieces;
}

// A control's item key: kind, hyphen and its tag, trimmed (Trim leaves a
// blank tag empty, and a control with one is never remembered).
std::string ItemKey(const RememberedKind& kind, std::string_view tag) {
  return std::string(kind.name) + "-" + std::string(tag);
}

}  // namespace

bool ConfigStore::SaveControls(gui::Window window, std::string_view kinds) const {
  if (!gui::IsLoaded(window) || text::IsBlank(kinds)) return false;
  // Items are enciphered with messages pumped in between: window handlers may
  // run, so nothing here refers to the caller's texts past this point.
  const std::string own(kinds);
  if (text::Find(own, ",") != text::npos) {
    for (const std::string& piece : SplitAtCommas(own)) SaveControls(window, piece);
    return true;
  }
  const RememberedKind* kind = FindRememberedKind(own);
  if (!kind) return true;
  for (const gui::Control control : gui::ControlsOfKind(window, own)) {
    const std::string tag = text::Trim(gui::ControlTag(control));
    if (tag.empty()) continue;
    const std::string key = ItemKey(*kind, tag);
    std::string section;  // the default section
    switch (kind->what) {
      case Remembered::kTicked:
        WriteItem(section, key, text::FlagToText(gui::IsTicked(control)));
        break;
      case Remembered::kEntry:
        WriteItem(section, key, text::IntToText(gui::ChosenEntry(control)));
        // Asked anew: the write above let handlers run.
        if (gui::ChosenEntry(control) == -1) {
          const std::string editText = gui::ControlText(control);
          if (!editText.empty()) WriteItem(section, key + std::string(kEditTextSuffix), editText);
        }
        break;
      case Remembered::kText:
        WriteItem(section, key, EncodeEditText(gui::ControlText(control)));
        break;
      case Remembered::kPage:
        WriteItem(section, key, text::IntToText(gui::CurrentPage(control)));
        break;
    }
  }
  return true;
}

bool ConfigStore::RestoreControls(gui::Window window, std::string_view kinds,
                                  std::string& skipTags) const {
  if (!gui::IsLoaded(window) || text::IsBlank(kinds)) return false;
  if (!text::IsBlank(skipTags) && skipTags.back() != ',') skipTags += ',';
  const std::string own(kinds);
  if (text::Find(own, ",") != text::npos) {
    for (const std::string& piece : SplitAtCommas(own)) RestoreControls(window, piece, skipTags);
    return true;
  }
  const RememberedKind* kind = FindRememberedKind(own);
  if (!kind) return true;
  const std::string skip = skipTags;
  for (const gui::Control control : gui::ControlsOfKind(window, own)) {
    const std::string tag = text::Trim(gui::ControlTag(control));
    if (tag.empty()) continue;
    // "a," is found inside "ba," too: the list is searched, not split.
    if (!skip.empty() && text::Find(skip, tag + ",") != text::npos) continue;
    const std::string key = ItemKey(*kind, tag);
    std::string section;  // the default section
    const std::string value = ReadItem(section, key);
    if (value.empty()) continue;
    switch (kind->what) {
      case Remembered::kTicked:
        gui::SetTicked(control, value == text::FlagToText(true));
        break;
      case Remembered::kEntry:
        // -1 restores the edit text, even an empty one; an index that the
        // list does not have leaves the box as it is.
        if (value == kNoEntry) {
          gui::SetControlText(control, ReadItem(section, key + std::string(kEditTextSuffix)));
        } else {
          gui::ChooseEntry(control, text::TextToInt(value));
        }
        break;
      case Remembered::kText:
        gui::SetControlText(control, DecodeEditText(value));
        break;
      case Remembered::kPage:
        gui::SetCurrentPage(control, text::TextToInt(value));
        break;
    }
  }
  return true;
}

bool ConfigStore::RestoreControls(gui::Window window, std::string_view kinds) const {
  std::string noSkipTags;
  return RestoreControls(window, kinds, noSkipTags);
}

}  // namespace config
