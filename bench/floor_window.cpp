// The floor: what no Win32 program with this window can beat. The main
// window's frame, size and fifteen controls (same classes, styles, places,
// texts and font, and the same common-controls manifest), created and shown,
// and nothing behind them: no OLE, no store, no registry, no threads, no
// handlers. window_bench starts it the same way as korvalin.exe.
#include <windows.h>

namespace {

struct Control {
  const char* windowClass;
  DWORD style;
  DWORD exStyle;
  int left, top, width, height;
  const char* text;
};

constexpr DWORD kLabel = SS_LEFT;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kEdit = ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP;

constexpr Control kControls[] = {
    {"STATIC", kLabel, 0, 16, 8, 80, 24, "当前版本路径"},
    {"EDIT", kEdit, WS_EX_CLIENTEDGE, 96, 8, 272, 20, ""},
    {"STATIC", kLabel, 0, 8, 46, 32, 24, "最新版"},
    {"EDIT", kEdit, WS_EX_CLIENTEDGE, 64, 47, 304, 20, "d:\\Program Files (x86)\\Tencent\\WeChat"},
    {"BUTTON", kButton, 0, 72, 79, 80, 32, "浏览"},
    {"BUTTON", kButton, 0, 240, 79, 80, 32, "使用"},
    {"STATIC", kLabel, 0, 8, 123, 48, 24, "版本二"},
    {"EDIT", kEdit, WS_EX_CLIENTEDGE, 64, 125, 304, 20, "d:\\Program Files (x86)\\Tencent\\WeChat6"},
    {"BUTTON", kButton, 0, 72, 159, 80, 32, "浏览"},
    {"BUTTON", kButton, 0, 240, 159, 80, 32, "使用"},
    {"STATIC", kLabel, 0, 8, 207, 48, 24, "版本三"},
    {"EDIT", kEdit, WS_EX_CLIENTEDGE, 64, 209, 304, 20, "d:\\Program Files (x86)\\Tencent\\WeChat6"},
    {"BUTTON", kButton, 0, 72, 243, 80, 32, "浏览"},
    {"BUTTON", kButton, 0, 240, 243, 80, 32, "使用"},
    {"BUTTON", kButton, 0, 148, 344, 80, 32, "介绍"},
};

LRESULT CALLBACK FloorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = FloorProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = "KorvalinFloor";
  if (!RegisterClassA(&wc)) return 1;

  constexpr int kWidth = 383, kHeight = 404;
  const HWND window = CreateWindowExA(
      0, wc.lpszClassName, "【Dessaro】Korvalin-Ovr",
      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
      (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2, (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2,
      kWidth, kHeight, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
  int id = 1000;
  for (const Control& c : kControls) {
    const HWND control = CreateWindowExA(c.exStyle, c.windowClass, c.text,
                                         WS_CHILD | WS_VISIBLE | c.style, c.left, c.top, c.width,
                                         c.height, window, reinterpret_cast<HMENU>(INT_PTR{id++}),
                                         instance, nullptr);
    if (control) SendMessageA(control, WM_SETFONT, font, FALSE);
  }
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
