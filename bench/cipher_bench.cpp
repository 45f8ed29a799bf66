// Encode plus decode of a folder-sized and of the longest readable value, on
// a thread that owns a window and has an empty queue (as the GUI thread has
// between events), so the per-byte message processing costs what it costs
// there. Prints the median and the spread of many rounds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cipher/digest_text.h"
#include "cipher/value_cipher.h"
#include "platform/gui/messages.h"

namespace {

// <chrono> does not compile with a GBK execution character set (libstdc++
// spells the micro sign in a literal), so QueryPerformanceCounter it is.
double NowMicroseconds() {
  static const double perSecond = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1e6 / perSecond;
}

struct Figures {
  double median, low, high;  // microseconds
};

template <typename F>
Figures Measure(int rounds, F&& body) {
  std::vector<double> us;
  us.reserve(rounds);
  for (int i = 0; i < rounds; ++i) {
    const double start = NowMicroseconds();
    body();
    us.push_back(NowMicroseconds() - start);
  }
  std::sort(us.begin(), us.end());
  return {us[us.size() / 2], us.front(), us.back()};
}

void Print(const char* what, const Figures& f) {
  std::printf("%-44s median %9.1f us   min %9.1f   max %9.1f\n", what, f.median, f.low, f.high);
}

volatile std::size_t sink = 0;

}  // namespace

int main() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "KorvalinBench";
  RegisterClassA(&wc);
  HWND window = CreateWindowA("KorvalinBench", "bench", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                              nullptr, nullptr, wc.hInstance, nullptr);
  if (!window) return 1;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);

  const std::string key = "peltrimuva";
  struct Value {
    const char* label;
    std::string plain;
    int rounds;
  };
  const std::string folder = "D:\\Program Files (x86)\\Tencent\\WeChat6";
  const Value values[] = {
      {"a folder path, 38 bytes", folder, 200},
      {"260 bytes", std::string(260, 'p'), 200},
      {"5,115 bytes", std::string(5115, 'p'), 40},
  };
  for (const Value& v : values) {
    if (cipher::DecodeValue(cipher::EncodeValue(v.plain, key), key) != v.plain) return 2;
    std::printf("%s\n", v.label);
    Print("  encode + decode", Measure(v.rounds, [&] {
            sink = sink + cipher::DecodeValue(cipher::EncodeValue(v.plain, key), key).size();
          }));
    Print("  of which BytesToHex + HexPairsToBytes", Measure(v.rounds, [&] {
            sink = sink + cipher::HexPairsToBytes(cipher::BytesToHex(v.plain)).size();
          }));
  }
  std::printf("parts\n");
  Print("  KeyTag (one MD5 through the CryptoAPI)",
        Measure(200, [&] { sink = sink + cipher::KeyTag(key).size(); }));
  Print("  ProcessWaitingMessages, empty queue", Measure(2000, [] {
          platform::gui::ProcessWaitingMessages();
        }));
  DestroyWindow(window);
  return 0;
}
