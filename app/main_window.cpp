#include "app/main_window.h"

#include <utility>

#include "app/folder_picker.h"
#include "app/resource.h"
#include "platform/gui/toolkit.h"
#include "platform/threads.h"

namespace app {
namespace {

// GUI thread only. Opening replaces it with an opened copy, so that a task
// still reading the store it was given never sees its texts change.
std::shared_ptr<config::ConfigStore> store;

using platform::gui::ClickHook;
using platform::gui::ControlForm;
using platform::gui::ControlKind;
using platform::gui::Window;

constexpr auto kLabel = ControlKind::kLabel;
constexpr auto kButton = ControlKind::kButton;
constexpr auto kEdit = ControlKind::kEdit;

// Left, top, width and height within the client area.
constexpr ControlForm kMainControls[] = {
    {kLabel, "标签4", 16, 8, 80, 24, "当前版本路径"},
    {kEdit, "编辑框4", 96, 8, 272, 20, ""},
    {kLabel, "标签1", 8, 46, 32, 24, "最新版"},
    {kEdit, "编辑框1", 64, 47, 304, 20, "d:\\Program Files (x86)\\Tencent\\WeChat"},
    {kButton, "按钮3", 72, 79, 80, 32, "浏览"},
    {kButton, "按钮1", 240, 79, 80, 32, "使用"},
    {kLabel, "标签2", 8, 123, 48, 24, "版本二"},
    {kEdit, "编辑框2", 64, 125, 304, 20, "d:\\Program Files (x86)\\Tencent\\WeChat6"},
    {kButton, "按钮2", 72, 159, 80, 32, "浏览"},
    {kButton, "按钮4", 240, 159, 80, 32, "使用"},
    {kLabel, "标签3", 8, 207, 48, 24, "版本三"},
    {kEdit, "编辑框3", 64, 209, 304, 20, "d:\\Program Files (x86)\\Tencent\\WeChat6"},
    {kButton, "按钮5", 72, 243, 80, 32, "浏览"},
    {kButton, "按钮6", 240, 243, 80, 32, "使用"},
    {kButton, "介绍", 148, 344, 80, 32, "介绍"},
};

// A click handler knows only its window: one instance per slot.
template <int Slot>
void OnBrowse(Window window) noexcept {
  BrowseForSlot(window, Slot);
}
template <int Slot>
void OnUse(Window window) noexcept {
  SwitchToSlot(window, Slot);
}

constexpr ClickHook kMainClicks[] = {
    {kWindowSlots[0].browse, OnBrowse<1>},
    {kWindowSlots[0].use, OnUse<1>},
    {kWindowSlots[1].browse, OnBrowse<2>},
    {kWindowSlots[1].use, OnUse<2>},
    {kWindowSlots[2].browse, OnBrowse<3>},
    {kWindowSlots[2].use, OnUse<3>},
    {"介绍", ShowIntroduction},
};

static_assert(kWindowSlots[0].slot.number == 1 && kWindowSlots[1].slot.number == 2 &&
              kWindowSlots[2].slot.number == 3);

}  // namespace

// 383 x 404 outer; the toolkit centres it on the primary screen.
const platform::gui::Form MainWindow{
    "【Dessaro】Korvalin-Ovr", 383, 404, KORVALIN_ICON, kMainControls, kMainClicks,
    OnMainWindowCreated,
};

config::ConfigStore* Store() noexcept { return store.get(); }

void CreateStore() { store = std::make_shared<config::ConfigStore>(); }

std::shared_ptr<const config::ConfigStore> ShareStore() noexcept { return store; }

void OnMainWindowCreated(Window window) noexcept {
  platform::StartBackgroundTask([window] { RefreshCurrentPath(window); });
  if (!store) return;
  // Open reports nothing: start-up goes on whatever happened.
  auto opened = std::make_shared<config::ConfigStore>(*store);
  config::OpenSlotStore(*opened);
  store = std::move(opened);
  platform::StartBackgroundTask(
      [window, shared = ShareStore()] { LoadSlotPaths(window, *shared); });
}

void ReleaseAtExit() noexcept {
  ReleasePickedFolder();
  ReleaseBrowseInitialFolder();
  store.reset();
}

int RunProgram() noexcept {
  platform::gui::Initialize();
  CreateStore();
  platform::gui::AtExit(ReleaseAtExit);
  return platform::gui::Run(MainWindow);
}

}  // namespace app
