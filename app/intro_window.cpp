#include "app/main_window.h"

#include <string_view>

#include "platform/gui/toolkit.h"

namespace app {
namespace {

using platform::gui::ControlKind;
using platform::gui::ControlForm;

// 469 bytes in code page 936: ten lines, each ended by CR LF.
constexpr std::string_view kIntroText =
    "【前戏】\r\n"
    "由于工作需要，会用到微信机器人，但是市面上的微信机器人软件所要求的微信版本又各不相同，"
    "同时使用时，很麻烦。其实原理并不复杂。所以动手做了一个小工具，分享出来给大家使用。\r\n"
    "\r\n"
    "【过程】\r\n"
    "1.先把各版本装在不同的目录里。\r\n"
    "2.打开本工具，配置一下各版本的路径，工具会记录设置的路径\r\n"
    "3.需要切换时，点击版本对应的使用即可\r\n"
    "\r\n"
    "【动作要领】\r\n"
    "打开一个机器人之前，先打开工具，切换到该机器人要求的版本，正常运行后，"
    "再切换后第二个机器人的版本，然后打开第二个机器人.............\r\n";

constexpr ControlForm kIntroControls[] = {
    {ControlKind::kMultiLineEdit, "编辑框1", 2, 7, 368, 208, kIntroText},
};

}  // namespace

// No icon of its own, no events; built anew at each opening, so an edit made
// by the user is gone the next time.
const platform::gui::Form IntroWindow{
    "Korvalin-发展史", 379, 250, 0, kIntroControls, {}, nullptr,
};

void ShowIntroduction(platform::gui::Window window) noexcept {
  platform::gui::LoadModal(IntroWindow, window);
}

}  // namespace app
