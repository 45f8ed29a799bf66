// The toolkit's selection controls, containers and tags, and what it offers
// code that remembers a window's state, against Wine's real controls.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gui/messages.h"
#include "platform/gui/toolkit.h"
#include "platform/gui/window_state.h"
#include "tests/opened_windows.h"

namespace {

namespace gui = platform::gui;
using gui::ControlForm;
using gui::ControlKind;
using gui::Form;
using gui::Window;

// Two group boxes, one inside the other, and controls outside and inside
// them; 孤儿 names a container that is not there, 错位 one listed after it.
constexpr ControlForm kStateControls[] = {
    {ControlKind::kCheckBox, "选择框1", 8, 8, 120, 20, "外面", {}, "out"},
    {ControlKind::kGroupBox, "分组框1", 8, 34, 260, 150, "外框"},
    {ControlKind::kCheckBox, "选择框2", 10, 20, 120, 20, "里面", "分组框1", " in "},
    {ControlKind::kGroupBox, "分组框2", 10, 44, 240, 96, "内框", "分组框1"},
    {ControlKind::kRadioButton, "单选框1", 10, 20, 100, 20, "甲", "分组框2", "r"},
    {ControlKind::kButton, "按钮1", 120, 20, 80, 28, "按钮", "分组框2"},
    {ControlKind::kComboBox, "组合框1", 10, 50, 120, 20, "北京\n上海\n\n广州\n", "分组框2"},
    {ControlKind::kRadioButton, "单选框2", 8, 190, 100, 20, "乙", {}, "r"},
    {ControlKind::kTabControl, "选择夹1", 8, 216, 260, 40, "一\n二\n三"},
    {ControlKind::kEdit, "编辑框1", 8, 262, 120, 20, ""},
    {ControlKind::kMultiLineEdit, "编辑框2", 140, 262, 120, 40, "", "分组框1"},
    {ControlKind::kCheckBox, "孤儿", 8, 310, 100, 20, "", "没有这个"},
    {ControlKind::kCheckBox, "错位", 8, 310, 100, 20, "", "分组框3"},
    {ControlKind::kGroupBox, "分组框3", 140, 310, 100, 20, ""},
};

int innerClicks = 0;
void CountInnerClick(Window) noexcept { ++innerClicks; }
constexpr gui::ClickHook kStateClicks[] = {{"按钮1", CountInnerClick}};

const Form kStateForm{"控件状态", 300, 380, 0, kStateControls, kStateClicks, nullptr};

class WindowState : public testing::Test {
 protected:
  Window Open(const Form& form) { return windows_.Open(form); }
  OpenedWindows windows_;
};

std::vector<std::string> NamesOf(const std::vector<gui::Control>& controls) {
  std::vector<std::string> names;
  for (const gui::Control& c : controls) names.emplace_back(c.form ? c.form->name : "?");
  return names;
}

std::string ClassOf(HWND h) {
  char cls[64] = {};
  GetClassNameA(h, cls, sizeof cls);
  return cls;
}

TEST_F(WindowState, NewKindsAreTheirWin32ControlsWithEntriesAndTabsFromTheText) {
  const Window w = Open(kStateForm);
  ASSERT_TRUE(w);
  struct Case {
    const char* name;
    const char* windowClass;
    LONG type;  // the low style bits that make the kind
    LONG typeMask;
  };
  const Case cases[] = {
      {"选择框1", "Button", BS_AUTOCHECKBOX, BS_TYPEMASK},
      {"单选框1", "Button", BS_AUTORADIOBUTTON, BS_TYPEMASK},
      {"分组框1", "Button", BS_GROUPBOX, BS_TYPEMASK},
      {"组合框1", "ComboBox", CBS_DROPDOWN, 3},
      {"选择夹1", WC_TABCONTROLA, 0, 0},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    const HWND h = Hwnd(gui::FindControl(w, cases[i].name));
    ASSERT_TRUE(h);
    EXPECT_STREQ(ClassOf(h).c_str(), cases[i].windowClass);
    EXPECT_EQ(GetWindowLongA(h, GWL_STYLE) & cases[i].typeMask, cases[i].type);
  }

  // One entry or tab a line; an empty line is an entry, an ended last line
  // adds none. Nothing is chosen in the list, the first tab is open.
  const HWND combo = Hwnd(gui::FindControl(w, "组合框1"));
  const char* entries[] = {"北京", "上海", "", "广州"};
  ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 4);
  for (int i = 0; i < 4; ++i) {
    char buf[32] = {};
    SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf));
    EXPECT_STREQ(buf, entries[i]) << "entry " << i;
  }
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(gui::ControlText(gui::FindControl(w, "组合框1")), "");

  const HWND tab = Hwnd(gui::FindControl(w, "选择夹1"));
  const char* captions[] = {"一", "二", "三"};
  ASSERT_EQ(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0), 3);
  for (int i = 0; i < 3; ++i) {
    char buf[32] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = buf;
    item.cchTextMax = sizeof buf;
    SendMessageA(tab, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(buf, captions[i]) << "tab " << i;
  }
  EXPECT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), 0);
}

TEST_F(WindowState, ContainersHoldTheirControlsWhoseClicksStillReachTheForm) {
  const Window w = Open(kStateForm);
  ASSERT_TRUE(w);
  const HWND outer = Hwnd(gui::FindControl(w, "分组框1"));
  const HWND inner = Hwnd(gui::FindControl(w, "分组框2"));
  ASSERT_TRUE(outer && inner);
  EXPECT_EQ(GetParent(outer), Hwnd(w));
  EXPECT_EQ(GetParent(inner), outer);
  EXPECT_EQ(GetParent(Hwnd(gui::FindControl(w, "选择框2"))), outer);
  const HWND button = Hwnd(gui::FindControl(w, "按钮1"));
  EXPECT_EQ(GetParent(button), inner);
  EXPECT_EQ(GetParent(Hwnd(gui::FindControl(w, "选择框1"))), Hwnd(w));

  // Positions are within the container's client area.
  RECT r, box;
  GetWindowRect(button, &r);
  GetWindowRect(inner, &box);
  EXPECT_EQ(r.left - box.left, 120);
  EXPECT_EQ(r.top - box.top, 20);

  // The inside of a group box is painted in the form's colour.
  RedrawWindow(Hwnd(w), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  const HDC dc = GetDC(outer);
  EXPECT_EQ(GetPixel(dc, 250, 140), GetSysColor(COLOR_BTNFACE));
  ReleaseDC(outer, dc);

  // The dialog keys go on into containers.
  EXPECT_TRUE(GetWindowLongA(outer, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);

  // A click two containers deep runs the form's hook.
  innerClicks = 0;
  SendMessageA(button, BM_CLICK, 0, 0);
  EXPECT_EQ(innerClicks, 1);

  // A control whose container is missing, or listed after it, is not made,
  // not even on the window itself: six rows have no container.
  EXPECT_FALSE(gui::FindControl(w, "孤儿"));
  EXPECT_FALSE(gui::FindControl(w, "错位"));
  int direct = 0;
  for (HWND h = GetWindow(Hwnd(w), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) ++direct;
  EXPECT_EQ(direct, 6);
}

TEST_F(WindowState, ControlsOfAKindInFormOrderInsideContainersWhileTheyExist) {
  const Window w = Open(kStateForm);
  ASSERT_TRUE(w);
  using Names = std::vector<std::string>;
  EXPECT_EQ(NamesOf(gui::ControlsOfKind(w, "选择框")), (Names{"选择框1", "选择框2"}));
  EXPECT_EQ(NamesOf(gui::ControlsOfKind(w, "单选框")), (Names{"单选框1", "单选框2"}));
  EXPECT_EQ(NamesOf(gui::ControlsOfKind(w, "编辑框")), (Names{"编辑框1", "编辑框2"}));
  EXPECT_EQ(NamesOf(gui::ControlsOfKind(w, "组合框")), (Names{"组合框1"}));
  EXPECT_EQ(NamesOf(gui::ControlsOfKind(w, "选择夹")), (Names{"选择夹1"}));
  EXPECT_EQ(NamesOf(gui::ControlsOfKind(w, "分组框")), (Names{"分组框1", "分组框2", "分组框3"}));
  EXPECT_EQ(NamesOf(gui::ControlsOfKind(w, "按钮")), (Names{"按钮1"}));
  for (const char* none : {"", "选择框 ", " 选择框", "选择", "复选框"}) {
    EXPECT_TRUE(gui::ControlsOfKind(w, none).empty()) << "\"" << none << "\"";
  }

  // The system windows and tags are those of the rows.
  const auto boxes = gui::ControlsOfKind(w, "选择框");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(Hwnd(boxes[1]), Hwnd(gui::FindControl(w, "选择框2")));
  EXPECT_EQ(gui::ControlTag(boxes[0]), "out");
  EXPECT_EQ(gui::ControlTag(boxes[1]), " in ");
  EXPECT_EQ(gui::ControlTag(gui::FindControl(w, "编辑框1")), "");
  EXPECT_EQ(gui::ControlTag(gui::Control{Hwnd(boxes[0])}), "");

  // Gone controls drop out: one destroyed alone, and the controls of a
  // destroyed container.
  DestroyWindow(Hwnd(gui::FindControl(w, "选择框1")));
  DestroyWindow(Hwnd(gui::FindControl(w, "分组框2")));
  EXPECT_EQ(NamesOf(gui::ControlsOfKind(w, "选择框")), (Names{"选择框2"}));
  EXPECT_EQ(NamesOf(gui::ControlsOfKind(w, "单选框")), (Names{"单选框2"}));
  EXPECT_TRUE(gui::ControlsOfKind(w, "组合框").empty());

  DestroyWindow(Hwnd(w));
  EXPECT_TRUE(gui::ControlsOfKind(w, "单选框").empty());
}

TEST_F(WindowState, StatesAreReadAndSetAndIndicesOutsideTheListChangeNothing) {
  const Window w = Open(kStateForm);
  ASSERT_TRUE(w);
  const gui::Control box = gui::FindControl(w, "选择框1");
  const gui::Control radio1 = gui::FindControl(w, "单选框1");
  const gui::Control radio2 = gui::FindControl(w, "单选框2");
  EXPECT_FALSE(gui::IsTicked(box));
  gui::SetTicked(box, true);
  EXPECT_EQ(SendMessageA(Hwnd(box), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(gui::IsTicked(box));
  gui::SetTicked(radio1, true);
  gui::SetTicked(radio2, true);  // its group's other buttons are left alone
  EXPECT_TRUE(gui::IsTicked(radio1));
  EXPECT_TRUE(gui::IsTicked(radio2));
  gui::SetTicked(box, false);
  EXPECT_FALSE(gui::IsTicked(box));

  const gui::Control combo = gui::FindControl(w, "组合框1");
  const gui::Control tab = gui::FindControl(w, "选择夹1");
  EXPECT_EQ(gui::ChosenEntry(combo), -1);
  EXPECT_TRUE(gui::ChooseEntry(combo, 3));
  EXPECT_EQ(gui::ChosenEntry(combo), 3);
  EXPECT_EQ(gui::ControlText(combo), "广州");
  EXPECT_TRUE(gui::SetCurrentPage(tab, 2));
  EXPECT_EQ(gui::CurrentPage(tab), 2);
  EXPECT_EQ(SendMessageA(Hwnd(tab), TCM_GETCURSEL, 0, 0), 2);
  for (const int outside : {4, 5, -1, -2, 1 << 30}) {
    SCOPED_TRACE("index " + std::to_string(outside));
    EXPECT_FALSE(gui::ChooseEntry(combo, outside));
    EXPECT_EQ(gui::ChosenEntry(combo), 3);
    EXPECT_EQ(gui::ControlText(combo), "广州");
    EXPECT_FALSE(gui::SetCurrentPage(tab, outside == 4 ? 3 : outside));
    EXPECT_EQ(gui::CurrentPage(tab), 2);
  }

  // The combo box's edit field through the control's text.
  gui::SetControlText(combo, "深圳");
  EXPECT_EQ(gui::ControlText(combo), "深圳");

  // A control that is gone reads as nothing and takes nothing.
  DestroyWindow(Hwnd(w));
  EXPECT_FALSE(gui::IsTicked(radio1));
  EXPECT_EQ(gui::ChosenEntry(combo), -1);
  EXPECT_EQ(gui::CurrentPage(tab), -1);
  EXPECT_FALSE(gui::ChooseEntry(combo, 0));
  EXPECT_FALSE(gui::SetCurrentPage(tab, 0));
}

// Counts the moves that reach a window.
int moves = 0;
WNDPROC formProc;
LRESULT CALLBACK CountingProc(HWND h, UINT m, WPARAM wp, LPARAM lp) noexcept {
  if (m == WM_WINDOWPOSCHANGING) ++moves;
  return CallWindowProcA(formProc, h, m, wp, lp);
}

TEST_F(WindowState, MoveKeepsSizesGivenAsMinusOneAndSkipsAnUnchangedRectangle) {
  const Window w = Open(kStateForm);
  ASSERT_TRUE(w);
  const gui::Rect start = gui::WindowRect(w);
  RECT r;
  GetWindowRect(Hwnd(w), &r);
  EXPECT_EQ(start, (gui::Rect{r.left, r.top, 300, 380}));

  formProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(Hwnd(w), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc)));
  struct Case {
    int left, top, width, height;
    gui::Rect after;
    int moved;
  };
  const Case cases[] = {
      {40, 50, -1, -1, {40, 50, 300, 380}, 1},
      {40, 50, -1, -1, {40, 50, 300, 380}, 0},  // already there
      {40, 50, 300, 380, {40, 50, 300, 380}, 0},
      {40, 50, 320, -1, {40, 50, 320, 380}, 1},
      {40, 50, -1, 400, {40, 50, 320, 400}, 1},
      {-30, -20, 310, 390, {-30, -20, 310, 390}, 1},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    const Case& c = cases[i];
    moves = 0;
    gui::MoveWindowTo(w, c.left, c.top, c.width, c.height);
    EXPECT_EQ(gui::WindowRect(w), c.after);
    EXPECT_EQ(moves, c.moved);
  }
}

TEST_F(WindowState, DisplayStatesAndMaximising) {
  const Window w = Open(kStateForm);
  ASSERT_TRUE(w);
  EXPECT_FALSE(gui::IsMinimised(w));
  EXPECT_FALSE(gui::IsMaximised(w));
  ShowWindow(Hwnd(w), SW_MINIMIZE);
  EXPECT_TRUE(gui::IsMinimised(w));
  EXPECT_FALSE(gui::IsMaximised(w));
  // Without a maximise button of its own, the window is maximised all the
  // same, from the minimised state too.
  gui::Maximise(w);
  EXPECT_FALSE(gui::IsMinimised(w));
  EXPECT_TRUE(gui::IsMaximised(w));
  EXPECT_TRUE(IsWindowVisible(Hwnd(w)));

  const gui::ScreenSize screen = gui::PrimaryScreenSize();
  EXPECT_EQ(screen.width, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(screen.height, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_GT(screen.width, 0);
}

struct MaximisedEarly {
  bool visibleAfterwards = true;
} maximisedEarly;

void MaximiseAtCreation(Window w) noexcept {
  gui::Maximise(w);
  maximisedEarly.visibleAfterwards = IsWindowVisible(Hwnd(w)) != FALSE;
}

TEST_F(WindowState, AWindowMaximisedBeforeItIsShownComesUpMaximised) {
  const Form form{"早早最大化", 300, 380, 0, kStateControls, {}, MaximiseAtCreation};
  maximisedEarly = {};
  const Window w = Open(form);
  ASSERT_TRUE(w);
  EXPECT_FALSE(maximisedEarly.visibleAfterwards);
  EXPECT_TRUE(IsWindowVisible(Hwnd(w)));
  EXPECT_TRUE(gui::IsMaximised(w));
  // Others of the same form are not.
  const Window plain = Open(kStateForm);
  ASSERT_TRUE(plain);
  EXPECT_FALSE(gui::IsMaximised(plain));
}

TEST_F(WindowState, AWindowThatIsGoneHasNoPlace) {
  const Window w = Open(kStateForm);
  ASSERT_TRUE(w);
  DestroyWindow(Hwnd(w));
  EXPECT_EQ(gui::WindowRect(w), gui::Rect{});
  EXPECT_FALSE(gui::IsMinimised(w));
  EXPECT_FALSE(gui::IsMaximised(w));
  gui::MoveWindowTo(w, 1, 2, 3, 4);  // nothing to move, nothing to crash
  gui::Maximise(w);
  EXPECT_EQ(gui::WindowRect(w), gui::Rect{});
}

}  // namespace
