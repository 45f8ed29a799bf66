// The three version slots of MainWindow: the switch (Use), the remembered
// folders (Browse and the filling of the boxes at start), and the two
// background tasks that show what the registry and the store hold.
#include <atomic>
#include <deque>
#include <utility>

#include "app/folder_picker.h"
#include "app/main_window.h"
#include "platform/gui/toolkit.h"
#include "platform/threads.h"
#include "registry/install_path_entry.h"

namespace app {
namespace {

using platform::gui::Window;

constexpr std::string_view kSwitchDone = "切换成功";
constexpr std::string_view kSwitchDoneCaption = "信息：";
constexpr std::string_view kBrowseTitle = "选择微信目录";

std::atomic<TaskProbe> taskProbe{nullptr};

// Sets a box's text from a background task. The GUI thread handles it; a box
// gone meanwhile drops the text.
void GiveBoxText(Window window, int box, std::string_view name, std::string_view text) noexcept {
  if (const TaskProbe probe = taskProbe.load()) probe(box, text);
  platform::gui::SetControlText(platform::gui::FindControl(window, name), text);
}

const WindowSlot* FindWindowSlot(int slot) noexcept {
  for (const WindowSlot& row : kWindowSlots) {
    if (row.slot.number == slot) return &row;
  }
  return nullptr;
}

// GUI thread only.
std::string pickedFolder;

// Folders picked but not yet written, oldest first, and whether a handler
// below is writing them. The cipher lets window messages through while it
// works, so a Browse can run inside another Browse's save: its folder waits
// here and is written after the running save, never before it, and the file
// ends with the folder that the box shows. GUI thread only.
struct PendingSave {
  int slot;
  std::string folder;
};
std::deque<PendingSave> pendingSaves;
bool saving = false;

void RememberFolder(int slot, std::string folder) {
  pendingSaves.push_back({slot, std::move(folder)});
  if (saving) return;
  saving = true;
  while (!pendingSaves.empty()) {
    const PendingSave next = std::move(pendingSaves.front());
    pendingSaves.pop_front();
    // A share: nothing a handler does meanwhile can free the store under
    // the save. The result is not looked at: a failed save is not reported.
    if (const auto shared = ShareStore()) config::SaveSlotPath(*shared, next.slot, next.folder);
  }
  saving = false;
}

}  // namespace

void SetTaskProbe(TaskProbe probe) noexcept { taskProbe.store(probe); }

void RefreshCurrentPath(Window window) noexcept {
  const std::string path = registry::InstallPathEntry().ReadInstallPath();
  GiveBoxText(window, 0, kCurrentPathBox, path);
}

void LoadSlotPaths(Window window, const config::ConfigStore& store) noexcept {
  for (const WindowSlot& row : kWindowSlots) {
    const std::string folder = config::ReadSlotPath(store, row.slot.number);
    GiveBoxText(window, row.slot.number, row.box, folder);
  }
}

void SwitchToSlot(Window window, int slot) noexcept {
  const WindowSlot* row = FindWindowSlot(slot);
  if (!row) return;
  // Neither trimmed nor checked: the box's bytes are the value.
  const std::string path = platform::gui::ControlText(platform::gui::FindControl(window, row->box));
  if (!registry::InstallPathEntry().WriteInstallPath(path)) return;
  platform::gui::ShowMessage(kSwitchDone, kSwitchDoneCaption);
  platform::StartBackgroundTask([window] { RefreshCurrentPath(window); });
}

void BrowseForSlot(Window window, int slot) noexcept {
  const WindowSlot* row = FindWindowSlot(slot);
  if (!row) return;
  pickedFolder = BrowseForFolder(kBrowseTitle);
  if (pickedFolder.empty()) return;
  // A copy: a Browse that runs during the save below replaces pickedFolder.
  std::string folder = pickedFolder;
  platform::gui::SetControlText(platform::gui::FindControl(window, row->box), folder);
  RememberFolder(slot, std::move(folder));
}

const std::string& PickedFolder() noexcept { return pickedFolder; }

void ReleasePickedFolder() noexcept { std::string().swap(pickedFolder); }

}  // namespace app
