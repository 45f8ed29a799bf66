#include "config/version_slots.h"

namespace config {

const VersionSlot* FindVersionSlot(int slot) noexcept {
  for (const VersionSlot& row : kVersionSlots) {
    if (row.number == slot) return &row;
  }
  return nullptr;
}

void OpenSlotStore(ConfigStore& store) { store.Open({}, kSlotStoreKey, {}); }

bool SaveSlotPath(const ConfigStore& store, int slot, std::string_view folder) {
  const VersionSlot* row = FindVersionSlot(slot);
  if (!row) return false;
  std::string section(kSlotSection);
  return store.WriteItem(section, row->itemKey, folder, true);
}

std::string ReadSlotPath(const ConfigStore& store, int slot) {
  const VersionSlot* row = FindVersionSlot(slot);
  if (!row) return {};
  std::string section(kSlotSection);
  return store.ReadItem(section, row->itemKey, {}, true);
}

}  // namespace config
