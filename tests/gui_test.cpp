// The form toolkit against Wine's real window manager: control kinds, events,
// modal loading, the loops and their Esc key, text from other threads, the
// message box, and the program's start and end.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/gui/messages.h"
#include "platform/gui/toolkit.h"
#include "tests/opened_windows.h"

namespace {

namespace gui = platform::gui;
using gui::ControlForm;
using gui::ControlKind;
using gui::Form;
using gui::Window;

// Pumps the GUI thread until done() or about five seconds have passed.
template <typename F>
bool PumpUntil(F done) {
  for (int i = 0; i < 500; ++i) {
    if (done()) return true;
    gui::ProcessWaitingMessages();
    Sleep(10);
  }
  return done();
}

// A long text: a single-line box scrolls it, a multi-line one wraps it.
const std::string kLongText(300, 'x');

constexpr ControlForm kAllKinds[] = {
    {ControlKind::kLabel, "标签", 8, 8, 120, 24, "标签文字"},
    {ControlKind::kButton, "按钮", 8, 40, 80, 32, "按钮"},
    {ControlKind::kEdit, "单行", 8, 80, 120, 20, "单行编辑框"},
    {ControlKind::kMultiLineEdit, "多行", 8, 110, 120, 60, "多行\r\n编辑框"},
};

int clicks = 0;
Window clickedWindow;
void CountClick(Window w) noexcept {
  ++clicks;
  clickedWindow = w;
}

constexpr gui::ClickHook kClicks[] = {{"按钮", CountClick}};

const Form kKindsForm{"控件种类", 300, 260, 0, kAllKinds, kClicks, nullptr};

class Toolkit : public testing::Test {
 protected:
  Window Open(const Form& form) { return windows_.Open(form); }
  OpenedWindows windows_;
};

TEST_F(Toolkit, EachKindIsTheWin32ControlItsRowDescribes) {
  const Window w = Open(kKindsForm);
  ASSERT_TRUE(w);
  struct Case {
    const char* name;
    const char* windowClass;
    LONG styleSet, styleClear, exStyleSet;
  };
  const Case cases[] = {
      {"标签", "Static", 0, WS_TABSTOP, 0},
      {"按钮", "Button", WS_TABSTOP, BS_DEFPUSHBUTTON, 0},
      {"单行", "Edit", ES_AUTOHSCROLL | WS_TABSTOP, ES_MULTILINE | WS_HSCROLL | WS_VSCROLL,
       WS_EX_CLIENTEDGE},
      {"多行", "Edit", ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_TABSTOP,
       ES_AUTOHSCROLL | WS_HSCROLL | WS_VSCROLL, WS_EX_CLIENTEDGE},
  };
  const auto font = reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(std::string("case ") + std::to_string(i));
    const HWND h = Hwnd(gui::FindControl(w, c.name));
    ASSERT_TRUE(h);
    char cls[32] = {};
    GetClassNameA(h, cls, sizeof cls);
    EXPECT_STREQ(cls, c.windowClass);
    const LONG style = GetWindowLongA(h, GWL_STYLE);
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(style & c.styleSet, c.styleSet);
    EXPECT_EQ(style & c.styleClear, 0);
    EXPECT_EQ(GetWindowLongA(h, GWL_EXSTYLE) & c.exStyleSet, c.exStyleSet);
    EXPECT_EQ(SendMessageA(h, WM_GETFONT, 0, 0), font);
    EXPECT_EQ(gui::ControlText(gui::FindControl(w, c.name)), std::string(kAllKinds[i].text));
  }
  EXPECT_FALSE(gui::FindControl(w, "无此控件"));
}

TEST_F(Toolkit, EditBoxesHaveNoLengthLimitAndLineBehaviourOfTheirKind) {
  const Window w = Open(kKindsForm);
  ASSERT_TRUE(w);
  const HWND single = Hwnd(gui::FindControl(w, "单行"));
  const HWND multi = Hwnd(gui::FindControl(w, "多行"));
  for (HWND h : {single, multi}) EXPECT_GE(SendMessageA(h, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);

  // Typed text is not cut at the default limit of 30000 characters.
  SetWindowTextA(single, "");
  const std::string big(40000, 'a');
  SendMessageA(single, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(big.c_str()));
  EXPECT_EQ(GetWindowTextLengthA(single), 40000);

  // One line scrolls sideways to follow the caret; several lines wrap.
  SetWindowTextA(single, kLongText.c_str());
  SendMessageA(single, EM_SETSEL, 300, 300);
  SendMessageA(single, EM_SCROLLCARET, 0, 0);
  EXPECT_GT(SendMessageA(single, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  SetWindowTextA(multi, kLongText.c_str());
  EXPECT_GT(SendMessageA(multi, EM_GETLINECOUNT, 0, 0), 1);

  // The multi-line box takes Enter (and Esc would reach it, were it not for
  // the toolkit); the single-line one leaves Enter to the window.
  EXPECT_TRUE(SendMessageA(multi, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);
  EXPECT_FALSE(SendMessageA(single, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);
}

TEST_F(Toolkit, ClickingAButtonRunsItsHookWithTheWindow) {
  const Window w = Open(kKindsForm);
  ASSERT_TRUE(w);
  clicks = 0;
  SendMessageA(Hwnd(gui::FindControl(w, "按钮")), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(clickedWindow.handle, w.handle);
  EXPECT_EQ(clickedWindow.form, &kKindsForm);
}

struct CreatedSeen {
  int calls = 0;
  bool controlsExisted = false;
  bool wasVisible = true;
} createdSeen;

void RecordCreated(Window w) noexcept {
  ++createdSeen.calls;
  createdSeen.controlsExisted = static_cast<bool>(gui::FindControl(w, "单行"));
  createdSeen.wasVisible = IsWindowVisible(Hwnd(w)) != FALSE;
}

TEST_F(Toolkit, CreatedEventRunsOnceWithTheControlsBeforeTheWindowShows) {
  const Form form{"创建事件", 300, 260, 0, kAllKinds, {}, RecordCreated};
  createdSeen = {};
  const Window w = Open(form);
  ASSERT_TRUE(w);
  EXPECT_EQ(createdSeen.calls, 1);
  EXPECT_TRUE(createdSeen.controlsExisted);
  EXPECT_FALSE(createdSeen.wasVisible);
  EXPECT_TRUE(IsWindowVisible(Hwnd(w)));
}

void DestroyAtOnce(Window w) noexcept { DestroyWindow(Hwnd(w)); }

TEST_F(Toolkit, AWindowItsCreatedEventDestroysIsNotLoaded) {
  const Form form{"自毁", 300, 260, 0, kAllKinds, {}, DestroyAtOnce};
  EXPECT_FALSE(gui::Load(form));
}

TEST_F(Toolkit, FrameIsFixedWithMinimiseButNoMaximise) {
  const Window w = Open(kKindsForm);
  ASSERT_TRUE(w);
  const HWND h = Hwnd(w);
  const LONG style = GetWindowLongA(h, GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
  EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0);

  // The edges offer no sizing, and a double click on the caption does not
  // maximise; the caption still moves the window.
  RECT r;
  GetWindowRect(h, &r);
  const POINT probes[] = {{r.left, (r.top + r.bottom) / 2},
                          {r.right - 1, (r.top + r.bottom) / 2},
                          {(r.left + r.right) / 2, r.bottom - 1},
                          {r.right - 1, r.bottom - 1}};
  for (const POINT& p : probes) {
    const LRESULT hit = SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    EXPECT_TRUE(hit < HTSIZEFIRST || hit > HTSIZELAST) << "hit " << hit;
  }
  const POINT caption{(r.left + r.right) / 2, r.top + GetSystemMetrics(SM_CYFRAME) +
                                                  GetSystemMetrics(SM_CYCAPTION) / 2};
  EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(caption.x, caption.y)), HTCAPTION);
  SendMessageA(h, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(caption.x, caption.y));
  EXPECT_FALSE(IsZoomed(h));

  SendMessageA(h, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(h));
  SendMessageA(h, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(IsIconic(h));
}

TEST_F(Toolkit, WindowIsCentredOnTheFullPrimaryScreen) {
  const Window w = Open(kKindsForm);
  ASSERT_TRUE(w);
  RECT r;
  GetWindowRect(Hwnd(w), &r);
  EXPECT_EQ(r.right - r.left, 300);
  EXPECT_EQ(r.bottom - r.top, 260);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 300) / 2);
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 260) / 2);
}

TEST_F(Toolkit, EscInProcessWaitingMessagesClosesTheWindowFromEveryKind) {
  for (std::size_t i = 0; i < std::size(kAllKinds); ++i) {
    SCOPED_TRACE(std::string("case ") + std::to_string(i));
    const Window w = Open(kKindsForm);
    ASSERT_TRUE(w);
    const HWND control = Hwnd(gui::FindControl(w, kAllKinds[i].name));
    PostMessageA(control, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    gui::ProcessWaitingMessages();
    EXPECT_FALSE(gui::IsLoaded(w));
    EXPECT_EQ(gui::ControlText(gui::FindControl(w, kAllKinds[i].name)), "");
  }
}

TEST_F(Toolkit, LastWindowGoneQuitsOnlyARunningLoop) {
  // Outside the loop: no quit message is left behind.
  Window w = Open(kKindsForm);
  ASSERT_TRUE(w);
  DestroyWindow(Hwnd(w));
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));

  // Inside it: two windows, and the loop ends with 0 only after both.
  const Window a = Open(kKindsForm);
  const Window b = Open(kKindsForm);
  ASSERT_TRUE(a && b);
  PostMessageA(Hwnd(a), WM_CLOSE, 0, 0);
  PostMessageA(Hwnd(b), WM_CLOSE, 0, 0);
  EXPECT_EQ(gui::RunMessageLoop(), 0);
  EXPECT_FALSE(gui::IsLoaded(a));
  EXPECT_FALSE(gui::IsLoaded(b));
}

// Modal loading: one window enabled, one disabled beforehand; both are
// disabled while the modal window is open and get their own state back.
struct ModalSeen {
  bool aEnabled = true, bEnabled = true, modalEnabled = false;
  HWND modal = nullptr, owner = nullptr;
} modalSeen;
HWND modalA, modalB;

const Form kModalForm{"模态窗口", 250, 200, 0, kAllKinds, {}, nullptr};

void CALLBACK InspectModal(HWND, UINT, UINT_PTR id, DWORD) noexcept {
  KillTimer(nullptr, id);
  modalSeen.modal = FindWindowA(nullptr, "模态窗口");
  modalSeen.aEnabled = IsWindowEnabled(modalA) != FALSE;
  modalSeen.bEnabled = IsWindowEnabled(modalB) != FALSE;
  modalSeen.modalEnabled = IsWindowEnabled(modalSeen.modal) != FALSE;
  modalSeen.owner = GetWindow(modalSeen.modal, GW_OWNER);
  // Esc from the modal window's multi-line box, in the nested loop.
  const gui::Control box = gui::FindControl(Window{modalSeen.modal, &kModalForm}, "多行");
  PostMessageA(Hwnd(box), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
}

TEST_F(Toolkit, ModalWindowDisablesTheOthersAndGivesBackTheirStates) {
  const Window a = Open(kKindsForm);
  const Window b = Open(kKindsForm);
  ASSERT_TRUE(a && b);
  modalA = Hwnd(a);
  modalB = Hwnd(b);
  EnableWindow(modalB, FALSE);
  modalSeen = {};
  SetTimer(nullptr, 0, 50, InspectModal);
  EXPECT_TRUE(gui::LoadModal(kModalForm, a));
  ASSERT_TRUE(modalSeen.modal);
  EXPECT_EQ(modalSeen.owner, modalA);
  EXPECT_FALSE(IsWindow(modalSeen.modal));
  EXPECT_FALSE(modalSeen.aEnabled);
  EXPECT_FALSE(modalSeen.bEnabled);
  EXPECT_TRUE(modalSeen.modalEnabled);
  EXPECT_TRUE(IsWindowEnabled(modalA));
  EXPECT_FALSE(IsWindowEnabled(modalB));
  EXPECT_TRUE(gui::IsLoaded(a));
  EXPECT_TRUE(gui::IsLoaded(b));
}

// SetControlText from another thread: the box sees WM_SETTEXT and then
// WM_COMMAND EN_CHANGE, both on the GUI thread, before the caller goes on.
struct Seen {
  UINT message;
  WPARAM wParam;
  DWORD thread;
};
std::vector<Seen> seen;
std::atomic<bool> setterDone{false};
WNDPROC editProc;

LRESULT CALLBACK RecordingProc(HWND h, UINT m, WPARAM wp, LPARAM lp) noexcept {
  if (m == WM_SETTEXT || m == WM_COMMAND) seen.push_back({m, wp, GetCurrentThreadId()});
  return CallWindowProcA(editProc, h, m, wp, lp);
}

TEST_F(Toolkit, TextSetFromAnotherThreadArrivesOnTheGuiThreadThenEnChange) {
  const Window w = Open(kKindsForm);
  ASSERT_TRUE(w);
  const gui::Control box = gui::FindControl(w, "单行");
  editProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
      Hwnd(box), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc)));
  seen.clear();
  setterDone = false;
  std::size_t seenWhenReturned = 0;
  std::thread setter([&] {
    gui::SetControlText(box, "新的路径");
    seenWhenReturned = seen.size();  // the GUI thread is in PumpUntil meanwhile
    setterDone = true;
  });
  EXPECT_TRUE(PumpUntil([] { return setterDone.load(); }));
  setter.join();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seenWhenReturned, 2u);
  EXPECT_EQ(seen[0].message, static_cast<UINT>(WM_SETTEXT));
  EXPECT_EQ(seen[1].message, static_cast<UINT>(WM_COMMAND));
  EXPECT_EQ(HIWORD(seen[1].wParam), EN_CHANGE);
  EXPECT_EQ(static_cast<int>(LOWORD(seen[1].wParam)), GetDlgCtrlID(Hwnd(box)));
  for (const Seen& s : seen) EXPECT_EQ(s.thread, GetCurrentThreadId());
  EXPECT_EQ(gui::ControlText(box), "新的路径");
}

TEST_F(Toolkit, TextForABoxDestroyedMeanwhileIsDropped) {
  const Window w = Open(kKindsForm);
  ASSERT_TRUE(w);
  const gui::Control box = gui::FindControl(w, "单行");
  DestroyWindow(Hwnd(w));
  std::thread setter([&] { gui::SetControlText(box, "迟到的文字"); });
  setter.join();  // returns at once: nothing waits for a GUI thread
  EXPECT_EQ(gui::ControlText(box), "");
  EXPECT_FALSE(gui::FindControl(w, "单行"));
}

// The message box: found from a helper thread, which reads it and presses OK.
struct BoxSeen {
  bool found = false;
  HWND owner = reinterpret_cast<HWND>(1);
  bool formEnabled = true;
  std::string text, caption;
  bool hasIcon = true;
};

BOOL CALLBACK FindDialog(HWND h, LPARAM found) noexcept {
  char cls[16] = {};
  GetClassNameA(h, cls, sizeof cls);
  if (std::string(cls) != "#32770" || !IsWindowVisible(h)) return TRUE;
  *reinterpret_cast<HWND*>(found) = h;
  return FALSE;
}

BOOL CALLBACK FindVisibleIcon(HWND h, LPARAM found) noexcept {
  char cls[16] = {};
  GetClassNameA(h, cls, sizeof cls);
  // Wine keeps an empty icon control in every message box; what counts is
  // whether it shows an icon.
  if (std::string(cls) == "Static" && (GetWindowLongA(h, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
      IsWindowVisible(h) && SendMessageA(h, STM_GETICON, 0, 0)) {
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
  }
  return TRUE;
}

BoxSeen AnswerMessageBox(DWORD guiThread, HWND form) {
  BoxSeen s;
  HWND box = nullptr;
  for (int i = 0; i < 500 && !box; ++i) {
    EnumThreadWindows(guiThread, FindDialog, reinterpret_cast<LPARAM>(&box));
    if (!box) Sleep(10);
  }
  if (!box) return s;
  s.found = true;
  s.owner = GetWindow(box, GW_OWNER);
  s.formEnabled = IsWindowEnabled(form) != FALSE;
  char buf[256] = {};
  GetWindowTextA(box, buf, sizeof buf);
  s.caption = buf;
  GetDlgItemTextA(box, 0xFFFF, buf, sizeof buf);  // the message's static
  s.text = buf;
  s.hasIcon = false;
  EnumChildWindows(box, FindVisibleIcon, reinterpret_cast<LPARAM>(&s.hasIcon));
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  return s;
}

TEST_F(Toolkit, MessageBoxIsOwnerlessTaskModalWithOkOnly) {
  const Window w = Open(kKindsForm);
  ASSERT_TRUE(w);
  BoxSeen s;
  const DWORD gui = GetCurrentThreadId();
  std::thread helper([&] { s = AnswerMessageBox(gui, Hwnd(w)); });
  gui::ShowMessage("切换成功", "信息：");
  helper.join();
  ASSERT_TRUE(s.found);
  EXPECT_EQ(s.owner, nullptr);
  EXPECT_FALSE(s.formEnabled);
  EXPECT_EQ(s.text, "切换成功");
  EXPECT_EQ(s.caption, "信息：");
  EXPECT_FALSE(s.hasIcon);
  EXPECT_TRUE(IsWindowEnabled(Hwnd(w)));
}

// The program's life: Run, the exit routines and OLE.
int exitCalls = 0;
bool oleHeldAtExit = false;
bool windowsLeftAtExit = true;

void CountExit() noexcept {
  ++exitCalls;
  windowsLeftAtExit = FindWindowA("KorvalinForm", nullptr) != nullptr;
  // S_FALSE: OLE is still initialised on this thread.
  const HRESULT hr = OleInitialize(nullptr);
  oleHeldAtExit = hr == S_FALSE;
  if (SUCCEEDED(hr)) OleUninitialize();
}

void PressEscInTheEdit(Window w) noexcept {
  PostMessageA(Hwnd(gui::FindControl(w, "单行")), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
}

TEST(Program, RunEndsWithZeroAfterEscAndRunsTheExitRoutinesOnceBeforeOle) {
  const Form form{"程序", 300, 260, 0, kAllKinds, {}, PressEscInTheEdit};
  exitCalls = 0;
  gui::Initialize();
  gui::AtExit(CountExit);
  EXPECT_EQ(gui::Run(form), 0);
  EXPECT_EQ(exitCalls, 1);
  EXPECT_TRUE(oleHeldAtExit);
  EXPECT_FALSE(windowsLeftAtExit);
  gui::Shutdown();  // nothing left to run
  EXPECT_EQ(exitCalls, 1);
  // OLE has been released: initialising it again starts afresh.
  const HRESULT hr = OleInitialize(nullptr);
  EXPECT_EQ(hr, S_OK);
  if (SUCCEEDED(hr)) OleUninitialize();
}

LRESULT CALLBACK RefuseForms(int code, WPARAM wp, LPARAM lp) noexcept {
  if (code == HCBT_CREATEWND) {
    char cls[32] = {};
    GetClassNameA(reinterpret_cast<HWND>(wp), cls, sizeof cls);
    if (std::string(cls) == "KorvalinForm") return 1;  // creation fails
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

TEST(Program, RunYieldsMinusOneWithoutExitRoutinesWhenTheMainWindowFails) {
  exitCalls = 0;
  gui::Initialize();
  gui::AtExit(CountExit);
  const HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseForms, nullptr, GetCurrentThreadId());
  ASSERT_TRUE(hook);
  BoxSeen report;
  const DWORD gui = GetCurrentThreadId();
  std::thread helper([&] { report = AnswerMessageBox(gui, nullptr); });
  const int code = gui::Run(kKindsForm);
  helper.join();
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(code, -1);
  EXPECT_TRUE(report.found) << "the failure is reported";
  EXPECT_EQ(exitCalls, 0);
  gui::Shutdown();  // this test's own clean-up
}

}  // namespace
