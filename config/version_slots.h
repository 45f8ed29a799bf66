// The main window's three version slots and where their folders are kept:
// one table for every program that reads or remembers a slot's folder (the
// window and the command-line companion), so both find the same items.
#pragma once

#include <string>
#include <string_view>

#include "config/config_store.h"

namespace config {

struct VersionSlot {
  int number;                // 1, 2 or 3
  std::string_view label;    // the slot's caption in the window
  std::string_view itemKey;  // the item of its folder in kSlotSection
};

inline constexpr VersionSlot kVersionSlots[] = {
    {1, "最新版", "版本一"},
    {2, "版本二", "版本二"},
    {3, "版本三", "版本三"},
};

// The section of the three items, in the default file (Data\Config.ini beside
// the executable).
inline constexpr std::string_view kSlotSection = "版本配置";

// The key every remembered folder is enciphered under. Never change it: the
// folders already remembered would read back empty.
inline constexpr std::string_view kSlotStoreKey = "peltrimuva";

// The row of slot 1, 2 or 3; nullptr for any other number.
const VersionSlot* FindVersionSlot(int slot) noexcept;

// Opens store as the window opens it: the default file, the slots' key and no
// section prefix.
void OpenSlotStore(ConfigStore& store);

// Remembers folder for the slot. False for a number other than 1, 2 or 3
// (nothing is written) and when the file was not changed.
bool SaveSlotPath(const ConfigStore& store, int slot, std::string_view folder);

// The slot's remembered folder: the empty text when none is remembered, when
// it was enciphered under another key, or for a number other than 1, 2 or 3.
std::string ReadSlotPath(const ConfigStore& store, int slot);

}  // namespace config
