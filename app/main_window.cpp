#include "app/main_window.h"

#include "app/resource.h"
#include "platform/gui/toolkit.h"

namespace app {
namespace {

// The key under which the main window's items are enciphered.
constexpr std::string_view kMainWindowKey = "peltrimuva";

config::ConfigStore* store = nullptr;

using platform::gui::ClickHook;
using platform::gui::ControlForm;
using platform::gui::ControlKind;

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

// What each button does. The Browse and Use buttons get their handlers with
// the remembered folders and the switch; until then a click does nothing.
constexpr ClickHook kMainClicks[] = {
    {"按钮3", nullptr},  // Browse, slot 1
    {"按钮1", nullptr},  // Use, slot 1
    {"按钮2", nullptr},  // Browse, slot 2
    {"按钮4", nullptr},  // Use, slot 2
    {"按钮5", nullptr},  // Browse, slot 3
    {"按钮6", nullptr},  // Use, slot 3
    {"介绍", ShowIntroduction},
};

}  // namespace

// 383 x 404 outer; the toolkit centres it on the primary screen.
const platform::gui::Form MainWindow{
    "【Dessaro】Korvalin-Ovr", 383, 404, KORVALIN_ICON, kMainControls, kMainClicks,
    OnMainWindowCreated,
};

config::ConfigStore* Store() noexcept { return store; }

void OnMainWindowCreated(platform::gui::Window) noexcept {
  // Open reports nothing: start-up goes on whatever happened.
  if (store) store->Open({}, kMainWindowKey);
}

void ReleaseAtExit() noexcept {
  delete store;
  store = nullptr;
}

int RunProgram() noexcept {
  platform::gui::Initialize();
  store = new config::ConfigStore();
  platform::gui::AtExit(ReleaseAtExit);
  return platform::gui::Run(MainWindow);
}

}  // namespace app
