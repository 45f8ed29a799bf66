// The program's two windows, built in this process by the real toolkit and
// checked through Win32: MainWindow's controls, geometry and Esc key,
// IntroWindow's modality and text, and the program's run from start to exit.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "app/main_window.h"
#include "platform/folders.h"
#include "platform/gui/messages.h"
#include "platform/gui/toolkit.h"

namespace {

namespace gui = platform::gui;
using gui::Window;

HWND Hwnd(Window w) { return static_cast<HWND>(w.handle); }
HWND Hwnd(gui::Control c) { return static_cast<HWND>(c.handle); }

std::string Text(HWND h) {
  char buf[1024] = {};
  const int n = GetWindowTextA(h, buf, sizeof buf);
  return std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

void PressEsc(HWND target) { PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001); }

class Windows : public testing::Test {
 protected:
  void SetUp() override {
    main_ = gui::Load(app::MainWindow);
    ASSERT_TRUE(main_);
  }
  void TearDown() override {
    if (gui::IsLoaded(main_)) DestroyWindow(Hwnd(main_));
    gui::ProcessWaitingMessages();
  }
  Window main_;
};

TEST_F(Windows, MainWindowHasTheFifteenControlsOfItsForm) {
  enum Kind { kLabel, kButton, kEdit };
  struct Row {
    const char* name;
    Kind kind;
    int left, top, width, height;
    const char* text;
  };
  const Row rows[] = {
      {"标签4", kLabel, 16, 8, 80, 24, "当前版本路径"},
      {"编辑框4", kEdit, 96, 8, 272, 20, ""},
      {"标签1", kLabel, 8, 46, 32, 24, "最新版"},
      {"编辑框1", kEdit, 64, 47, 304, 20, "d:\\Program Files (x86)\\Tencent\\WeChat"},
      {"按钮3", kButton, 72, 79, 80, 32, "浏览"},
      {"按钮1", kButton, 240, 79, 80, 32, "使用"},
      {"标签2", kLabel, 8, 123, 48, 24, "版本二"},
      {"编辑框2", kEdit, 64, 125, 304, 20, "d:\\Program Files (x86)\\Tencent\\WeChat6"},
      {"按钮2", kButton, 72, 159, 80, 32, "浏览"},
      {"按钮4", kButton, 240, 159, 80, 32, "使用"},
      {"标签3", kLabel, 8, 207, 48, 24, "版本三"},
      {"编辑框3", kEdit, 64, 209, 304, 20, "d:\\Program Files (x86)\\Tencent\\WeChat6"},
      {"按钮5", kButton, 72, 243, 80, 32, "浏览"},
      {"按钮6", kButton, 240, 243, 80, 32, "使用"},
      {"介绍", kButton, 148, 344, 80, 32, "介绍"},
  };
  int children = 0;
  for (HWND c = GetWindow(Hwnd(main_), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++children;
  EXPECT_EQ(children, 15);

  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const Row& row = rows[i];
    SCOPED_TRACE(std::string("case ") + std::to_string(i));
    const HWND h = Hwnd(gui::FindControl(main_, row.name));
    ASSERT_TRUE(h);
    char cls[32] = {};
    GetClassNameA(h, cls, sizeof cls);
    const LONG style = GetWindowLongA(h, GWL_STYLE);
    const LONG exStyle = GetWindowLongA(h, GWL_EXSTYLE);
    switch (row.kind) {
      case kLabel:
        EXPECT_STREQ(cls, "Static");
        break;
      case kButton:
        EXPECT_STREQ(cls, "Button");
        EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);
        break;
      case kEdit:
        EXPECT_STREQ(cls, "Edit");
        EXPECT_EQ(style & (ES_MULTILINE | ES_READONLY), 0);
        EXPECT_TRUE(style & ES_AUTOHSCROLL);
        EXPECT_TRUE(exStyle & WS_EX_CLIENTEDGE);
        break;
    }
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, Hwnd(main_), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, row.left);
    EXPECT_EQ(r.top, row.top);
    EXPECT_EQ(r.right - r.left, row.width);
    EXPECT_EQ(r.bottom - r.top, row.height);
    EXPECT_EQ(Text(h), row.text);
  }
}

TEST_F(Windows, BothWindowsHaveTheirOuterSizeCentredOnTheScreen) {
  struct Case {
    const gui::Form* form;
    const char* title;
    int width, height;
  };
  const Case cases[] = {
      {&app::MainWindow, "【Dessaro】Korvalin-Ovr", 383, 404},
      {&app::IntroWindow, "Korvalin-发展史", 379, 250},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(std::string("case ") + std::to_string(i));
    const Case& c = cases[i];
    const Window w = i == 0 ? main_ : gui::Load(*c.form);
    ASSERT_TRUE(w);
    RECT r;
    GetWindowRect(Hwnd(w), &r);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - c.width) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - c.height) / 2);
    EXPECT_EQ(r.right - r.left, c.width);
    EXPECT_EQ(r.bottom - r.top, c.height);
    EXPECT_EQ(Text(Hwnd(w)), c.title);
    const LONG style = GetWindowLongA(Hwnd(w), GWL_STYLE);
    EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    if (i != 0) DestroyWindow(Hwnd(w));
  }
}

TEST_F(Windows, MainWindowShowsItsOwn32BitIcon) {
  const auto icon = reinterpret_cast<HICON>(SendMessageA(Hwnd(main_), WM_GETICON, ICON_BIG, 0));
  ASSERT_TRUE(icon);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  BITMAP bm{};
  GetObjectA(info.hbmColor, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 32);
  EXPECT_EQ(bm.bmHeight, 32);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
}

TEST(MainWindowKeys, EscClosesItWhicheverControlHasTheFocus) {
  for (int i = 0; i < 15; ++i) {
    SCOPED_TRACE(std::string("control ") + std::to_string(i));
    const Window w = gui::Load(app::MainWindow);
    ASSERT_TRUE(w);
    HWND control = GetWindow(Hwnd(w), GW_CHILD);
    for (int k = 0; k < i; ++k) control = GetWindow(control, GW_HWNDNEXT);
    SetFocus(control);
    EXPECT_EQ(GetFocus(), control);
    PressEsc(control);
    gui::ProcessWaitingMessages();
    EXPECT_FALSE(gui::IsLoaded(w));
  }
}

// IntroWindow, driven from a timer inside its own nested loop.
struct IntroSeen {
  HWND intro = nullptr;
  bool mainEnabled = true;
  std::string text;
  bool mainLoadedAfterEsc = false;
} introSeen;
HWND introMain;
bool editIntro = false;

HWND IntroBox(HWND intro) { return GetWindow(intro, GW_CHILD); }

void CALLBACK InspectIntro(HWND, UINT, UINT_PTR id, DWORD) noexcept {
  KillTimer(nullptr, id);
  introSeen.intro = FindWindowA("KorvalinForm", "Korvalin-发展史");
  if (!introSeen.intro) return;
  introSeen.mainEnabled = IsWindowEnabled(introMain) != FALSE;
  const HWND box = IntroBox(introSeen.intro);
  introSeen.text = Text(box);
  if (editIntro) {
    // What the user types is lost with the window.
    SetFocus(box);
    SendMessageA(box, EM_SETSEL, 0, -1);
    SendMessageA(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("改过的文字"));
  }
  PressEsc(box);
}

// The text, byte for byte: 469 bytes in code page 936, ten lines.
const std::string kIntroText =
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

TEST_F(Windows, IntroWindowIsModalClosesAloneOnEscAndStartsAfreshEachTime) {
  ASSERT_EQ(kIntroText.size(), 469u);
  std::size_t lineEnds = 0;
  for (std::size_t p = kIntroText.find("\r\n"); p != std::string::npos;
       p = kIntroText.find("\r\n", p + 2)) {
    ++lineEnds;
  }
  ASSERT_EQ(lineEnds, 10u);
  introMain = Hwnd(main_);
  const HWND introButton = Hwnd(gui::FindControl(main_, "介绍"));
  // Twice through the button (the second time after an edit), then once with
  // MainWindow disabled beforehand: it must stay disabled afterwards.
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(std::string("round ") + std::to_string(round));
    const bool enabledBefore = round < 2;
    EnableWindow(introMain, enabledBefore);
    editIntro = round == 0;
    introSeen = {};
    SetTimer(nullptr, 0, 50, InspectIntro);
    if (enabledBefore) {
      SendMessageA(introButton, BM_CLICK, 0, 0);  // returns when the window is closed
    } else {
      app::ShowIntroduction(main_);
    }
    ASSERT_TRUE(introSeen.intro);
    EXPECT_FALSE(introSeen.mainEnabled);
    EXPECT_EQ(introSeen.text, kIntroText);
    EXPECT_FALSE(IsWindow(introSeen.intro));
    EXPECT_TRUE(gui::IsLoaded(main_)) << "Esc closed only the introduction";
    EXPECT_EQ(IsWindowEnabled(introMain) != FALSE, enabledBefore);
  }
  EnableWindow(introMain, TRUE);
}

// The whole program in this process: start, Esc, exit routine, exit code.
int exitCalls = 0;
void CountExit() noexcept { ++exitCalls; }

TEST(Program, EscEndsTheProgramWithZeroAndTheExitRoutineRunsOnce) {
  gui::AtExit(CountExit);  // runs after ReleaseAtExit, which was registered later
  std::string key, file;
  std::thread closer([&] {
    for (int i = 0; i < 500; ++i) {
      // Shown only once its controls exist and its created event has run.
      const HWND w = FindWindowA("KorvalinForm", "【Dessaro】Korvalin-Ovr");
      if (w && IsWindowVisible(w)) {
        if (const config::ConfigStore* s = app::Store()) {
          key = s->CipherKey();
          file = s->FilePath();
        }
        PressEsc(GetWindow(w, GW_CHILD));
        return;
      }
      Sleep(10);
    }
  });
  const int code = app::RunProgram();
  closer.join();
  EXPECT_EQ(code, 0);
  // The created event opened the store on its default file with the key.
  EXPECT_EQ(key, "peltrimuva");
  EXPECT_EQ(file, platform::RunDirectory() + "\\Data\\Config.ini");
  // ReleaseAtExit ran, once, before the routine registered ahead of it.
  EXPECT_EQ(app::Store(), nullptr);
  EXPECT_EQ(exitCalls, 1);
  EXPECT_FALSE(FindWindowA("KorvalinForm", nullptr));
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  platform::gui::Initialize();
  return RUN_ALL_TESTS();
}
