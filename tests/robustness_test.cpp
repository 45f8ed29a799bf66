// Hostile input, faults and load, against the real programs: korvalin-cli.exe
// and korvalin.exe copied side by side into a scratch folder (they share its
// Data\Config.ini), and the real HKCU\Software\Tencent\WeChat, saved before
// each test and put back after it.
//
// The sweeps are seeded: a fixed number of cases, each from a seed of its
// own, so a failure names the seed and the case that reproduce it:
//   KORVALIN_SWEEP_SEED=<seed>   another run of cases (default: a fixed seed)
//   KORVALIN_SWEEP_CASES=<n>     more or fewer cases
//   KORVALIN_SWEEP_CASE=<i>      that one case alone
#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "cipher/value_cipher.h"
#include "cli/json.h"
#include "platform/profile.h"

#include "child_process.h"
#include "scratch_files.h"
#include "wechat_key.h"
#include "window_program.h"

namespace {

using namespace child;
using namespace wechat_key;
using scratch::ReadBytes;
using scratch::RemoveTree;
using scratch::WriteBytes;
using window_program::Program;
using window_program::WaitFor;
using namespace window_program::controls;

const std::string kCliExe = WindowsPath(KORVALIN_CLI_EXE);
const std::string kWindowExe = WindowsPath(KORVALIN_EXE);
constexpr std::array<int, 3> kSlotBoxes = {kBox1, kBox2, kBox3};

// The key the window and the command line encipher the slots' folders under,
// and the items' section and keys, slot 1 to 3.
constexpr std::string_view kSlotKey = "peltrimuva";
constexpr std::string_view kSection = "版本配置";
constexpr std::array<std::string_view, 3> kItemKeys = {"版本一", "版本二", "版本三"};

// ---------------------------------------------------------------------------
// Seeded randomness: splitmix64, the same numbers on every platform and
// standard library.

class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 to n - 1.
  std::size_t Below(std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(Next() % n); }
  // lo to hi, both included.
  std::size_t Between(std::size_t lo, std::size_t hi) { return lo + Below(hi - lo + 1); }
  bool OneIn(std::size_t n) { return Below(n) == 0; }
  char Byte() { return static_cast<char>(Next() & 0xFF); }
  template <typename T, std::size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Below(N)];
  }

 private:
  std::uint64_t state_;
};

std::optional<std::uint64_t> Environment(const char* name) {
  const char* value = std::getenv(name);
  if (!value || !*value) return std::nullopt;
  return std::strtoull(value, nullptr, 10);
}

// The cases of one sweep, and how a failure names its case.
struct Sweep {
  std::uint64_t seed;
  std::size_t cases;
  std::optional<std::size_t> only;

  Sweep(std::uint64_t defaultSeed, std::size_t defaultCases)
      : seed(Environment("KORVALIN_SWEEP_SEED").value_or(defaultSeed)),
        cases(Environment("KORVALIN_SWEEP_CASES").value_or(defaultCases)) {
    if (const auto one = Environment("KORVALIN_SWEEP_CASE")) only = *one;
  }
  bool Runs(std::size_t i) const { return !only || *only == i; }
  std::size_t Count() const { return only ? *only + 1 : cases; }
  Random CaseRandom(std::size_t i) const {
    Random mixer(seed ^ (0xD1B54A32D192ED03ull * (i + 1)));
    return Random(mixer.Next());
  }
  std::string Name(std::size_t i) const {
    return "seed " + std::to_string(seed) + " case " + std::to_string(i) +
           " (KORVALIN_SWEEP_SEED=" + std::to_string(seed) +
           " KORVALIN_SWEEP_CASE=" + std::to_string(i) + ")";
  }
};

// ---------------------------------------------------------------------------
// Texts.

bool IsLead(char c) { return static_cast<unsigned char>(c) >= 0x80; }

std::string ReplaceEvery(std::string s, std::string_view what, std::string_view with) {
  for (std::size_t at = 0; (at = s.find(what, at)) != std::string::npos; at += with.size()) {
    s.replace(at, what.size(), with);
  }
  return s;
}

std::string TrimSpaces(std::string_view s) {
  const std::size_t first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return std::string(s.substr(first, s.find_last_not_of(" \t") - first + 1));
}

// One character that code page 936 maps to Unicode and back unchanged:
// ASCII, the first level of GB2312's hanzi (lead B0..D6, trail A1..FE, every
// code defined) or the GBK block whose trail bytes include '\', '[', ']'
// and '|' (lead 81..A0, trail 40..FE but 7F).
std::string RandomChar(Random& r) {
  switch (r.Below(6)) {
    case 0:
    case 1: {
      static constexpr char kAscii[] =
          "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ._-()[]{}=;,'!@#$%^&+~`";
      return std::string(1, kAscii[r.Below(sizeof kAscii - 1)]);
    }
    case 2:
    case 3: {
      const auto lead = static_cast<char>(r.Between(0xB0, 0xD6));
      return {lead, static_cast<char>(r.Between(0xA1, 0xFE))};
    }
    case 4: {
      static constexpr unsigned char kTrails[] = {0x5C, 0x5B, 0x5D, 0x7C, 0x40, 0x7E, 0x80, 0xFE};
      return {static_cast<char>(r.Between(0x81, 0xA0)), static_cast<char>(r.Pick(kTrails))};
    }
    default:
      return "\xA1\xA1";  // the full-width space
  }
}

// A folder as a user could have picked it: characters that survive every
// conversion, sometimes a line-break marker of the store, never a zero byte.
std::string RandomFolder(Random& r, std::size_t maxBytes) {
  std::string folder = r.OneIn(2) ? "D:\\" : "";
  const std::size_t target = r.Below(maxBytes + 1);
  for (;;) {
    std::string piece;
    if (r.OneIn(40)) {
      piece = r.OneIn(2) ? "{#换行符}" : "><br><";
    } else if (r.OneIn(8)) {
      piece = "\\";
    } else {
      piece = RandomChar(r);
    }
    if (folder.size() + piece.size() > target) break;
    folder += piece;
  }
  return folder.size() > maxBytes ? std::string() : folder;
}

// What reading a stored folder gives back: the line-break markers become
// CR LF.
std::string AsRead(const std::string& folder) {
  return ReplaceEvery(ReplaceEvery(folder, "{#换行符}", "\r\n"), "><br><", "\r\n");
}

// The stored form of plain under key, made here from the rules of the file
// (each byte masked with 0x0E, two upper-case digits, then the key's tag).
std::string Enciphered(std::string_view plain, std::string_view key) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string stored;
  for (const char c : plain) {
    const unsigned masked = static_cast<unsigned char>(c) ^ 0x0Eu;
    stored += kHex[masked >> 4];
    stored += kHex[masked & 15];
  }
  return stored + cipher::KeyTag(key);
}

// ---------------------------------------------------------------------------
// Hostile Config.ini files, each with what the three slots must read as.

struct HostileIni {
  std::string kind;
  std::string bytes;
  std::array<std::string, 3> slots;  // the folders as read; empty for none
};

// Bytes of any value, with more of the bytes that mean something to a
// profile file or to code page 936 than chance would give.
std::string RandomBytes(Random& r, std::size_t n) {
  static constexpr char kMeaningful[] = {'[', ']', '=', '\r', '\n', ';', ' ', '\0', '"',
                                         '\\', '\x81', '\xFE', '\xA1', '\x80', '\xFF'};
  std::string bytes;
  bytes.reserve(n);
  for (std::size_t i = 0; i < n; ++i) bytes += r.OneIn(4) ? r.Pick(kMeaningful) : r.Byte();
  return bytes;
}

// A whole file of random bytes: no item of the window can be found in it.
HostileIni RandomBytesIni(Random& r) {
  static constexpr std::size_t kSizes[] = {0, 1, 2, 3, 16, 200, 4096, 10239, 10240, 40000};
  HostileIni ini{"random bytes", RandomBytes(r, r.OneIn(3) ? r.Pick(kSizes) : r.Below(2000)), {}};
  static constexpr const char* kStarts[] = {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF", "["};
  if (r.OneIn(4)) ini.bytes = r.Pick(kStarts) + ini.bytes;
  // A lone lead byte as the very last byte of the file.
  if (r.OneIn(4)) ini.bytes += static_cast<char>(r.Between(0x81, 0xFE));
  return ini;
}

// A name for a section or a key that cannot be taken for the window's own:
// no bracket, equals sign or line break, and not one of its names once the
// profile functions have trimmed it.
std::string NoiseName(Random& r) {
  for (;;) {
    std::string name;
    const std::size_t n = r.OneIn(10) ? r.Between(200, 3000) : r.Between(0, 12);
    while (name.size() < n) {
      if (r.OneIn(5)) {
        static constexpr const char* kParts[] = {"版本", "版本配", "System", " ", "\t", "\xA1\xA1",
                                                 "版本四", "版本一x", "\x81"};
        name += r.Pick(kParts);
      } else {
        name += RandomChar(r);
      }
    }
    bool usable = name.find_first_of("[]=\r\n") == std::string::npos;
    const std::string trimmed = TrimSpaces(name);
    if (trimmed.empty() || trimmed == kSection || trimmed[0] == ';') usable = false;
    for (const std::string_view key : kItemKeys) usable = usable && trimmed != key;
    if (usable) return name;
  }
}

// One line of noise that is neither a section header nor one of the window's
// items.
std::string NoiseLine(Random& r) {
  switch (r.Below(9)) {
    case 0:
      return "";
    case 1:
      return std::string(r.Below(5), ' ') + (r.OneIn(2) ? ";" : "#") + RandomFolder(r, 40);
    case 2:
      return NoiseName(r);  // a key without a value
    case 3:
      return "=" + RandomFolder(r, 30);  // a value without a key
    case 4:  // a value longer than a lookup can hold
      return NoiseName(r) + "=" + std::string(r.Between(10239, 20000), 'A');
    case 5: {  // random bytes, but no line break, zero byte or bracket at its start
      std::string line = RandomBytes(r, r.Below(120));
      for (char& c : line) {
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
      }
      const std::string trimmed = TrimSpaces(line);
      if (!trimmed.empty() && trimmed[0] == '[') line = "x" + line;
      if (line.find('=') == std::string::npos) line = "x=" + line;
      return "y" + line;
    }
    default:
      return NoiseName(r) + "=" + (r.OneIn(2) ? RandomFolder(r, 60) : Enciphered("x", kSlotKey));
  }
}

// How one slot's item is planted in the window's section, and what it reads
// as by the rules.
struct Planted {
  std::optional<std::string> line;  // the item's line; none when absent
  std::string reads;
};

Planted PlantSlot(Random& r, std::string_view key) {
  const std::string k(key);
  const std::string tag = cipher::KeyTag(kSlotKey);
  std::string folder = RandomFolder(r, r.OneIn(8) ? 5000 : 80);
  switch (r.Below(13)) {
    case 0:
      return {std::nullopt, ""};
    case 1:
    case 2:
      return {k + "=" + Enciphered(folder, kSlotKey), AsRead(folder)};
    case 3:  // enciphered under another key
      return {k + "=" + Enciphered(folder, "another"), ""};
    case 4: {  // the tag in lower case
      std::string lower = tag;
      for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      return {k + "=" + Enciphered(folder, kSlotKey).substr(0, 2 * folder.size()) + lower,
              lower == tag ? AsRead(folder) : ""};
    }
    case 5: {  // longest that a lookup returns whole (10,239 bytes), or one byte more
      const bool fits = r.OneIn(2);
      const std::size_t n = (10239 - tag.size()) / 2 + (fits ? 0 : 1);
      std::string longFolder = "D:\\";
      while (longFolder.size() < n) longFolder += static_cast<char>('a' + r.Below(26));
      return {k + "=" + Enciphered(longFolder, kSlotKey), fits ? longFolder : ""};
    }
    case 6: {  // not a stored form at all
      std::string junk = RandomBytes(r, r.Below(300));
      for (char& c : junk) {
        if (c == '\r' || c == '\n' || c == '\0') c = 'Z';
      }
      if (junk.size() >= tag.size() && junk.compare(junk.size() - tag.size(), tag.size(), tag) == 0) {
        junk += 'Z';
      }
      return {k + "=" + junk, ""};
    }
    case 7:  // a lone lead byte after the tag
      return {k + "=" + Enciphered(folder, kSlotKey) + static_cast<char>(r.Between(0x81, 0xFE)),
              ""};
    case 8:  // spaces around the name and the value
      return {" " + k + "  =  " + Enciphered(folder, kSlotKey) + "   ", AsRead(folder)};
    case 9:  // one pair of quotes around the value
      return {k + "=\"" + Enciphered(folder, kSlotKey) + "\"", AsRead(folder)};
    case 10:  // no value
      return {k + "=", ""};
    case 11:  // the tag alone: an empty folder
      return {k + "=" + tag, ""};
    default: {  // a pair that unmasks to a zero byte: the folder ends there
      const std::string stored = Enciphered(folder, kSlotKey);
      return {k + "=" + stored.substr(0, 2 * folder.size()) + "0E" +
                  Enciphered("rest", kSlotKey),
              AsRead(folder)};
    }
  }
}

// Lines of noise in sections of random names, and the window's section with
// its three items planted among noise of its own.
HostileIni RandomLinesIni(Random& r) {
  HostileIni ini{"random lines", "", {}};
  std::vector<std::string> planted;
  for (std::size_t slot = 0; slot < 3; ++slot) {
    Planted p = PlantSlot(r, kItemKeys[slot]);
    if (p.line) planted.push_back(*p.line);
    ini.slots[slot] = p.reads;
  }
  // Noise around the items, in an order of chance.
  std::vector<std::string> ownSection;
  for (std::string& line : planted) ownSection.push_back(std::move(line));
  for (std::size_t n = r.Below(6); n > 0; --n) {
    ownSection.insert(ownSection.begin() + static_cast<std::ptrdiff_t>(r.Below(ownSection.size() + 1)),
                      NoiseLine(r));
  }

  std::vector<std::string> lines;
  const std::size_t sections = r.Below(5);
  const std::size_t ownAt = r.Below(sections + 1);
  for (std::size_t s = 0; s <= sections; ++s) {
    if (s == ownAt) {
      lines.push_back("[" + std::string(kSection) + "]");
      lines.insert(lines.end(), ownSection.begin(), ownSection.end());
    }
    if (s == sections) break;
    // Lines before the first header belong to no section.
    if (s > 0 || r.OneIn(2)) lines.push_back("[" + NoiseName(r) + "]");
    for (std::size_t n = r.Below(6); n > 0; --n) lines.push_back(NoiseLine(r));
  }

  // Line ends of either kind. A line that ends in a lead byte gets CR LF:
  // code page 936 takes the byte after a lead byte as its trail byte, and a
  // lone LF taken so would join the next line, header or item, to this one.
  for (std::size_t i = 0; i < lines.size(); ++i) {
    ini.bytes += lines[i];
    const bool last = i + 1 == lines.size();
    if (last && r.OneIn(3) && (lines[i].empty() || !IsLead(lines[i].back()))) break;
    ini.bytes += (!lines[i].empty() && IsLead(lines[i].back())) || r.OneIn(2) ? "\r\n" : "\n";
  }
  return ini;
}

// ---------------------------------------------------------------------------
// Files and folders that cannot be written.

bool CanWriteFile(const std::string& path) {
  const HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

bool CanCreateIn(const std::string& folder) {
  const std::string probe = folder + "\\可以写吗";
  if (!CreateDirectoryA(probe.c_str(), nullptr)) return false;
  RemoveDirectoryA(probe.c_str());
  return true;
}

std::wstring Wide(std::string_view s, UINT codePage) {
  std::wstring wide(s.size(), L'\0');
  wide.resize(static_cast<std::size_t>(MultiByteToWideChar(
      codePage, 0, s.data(), static_cast<int>(s.size()), wide.data(), static_cast<int>(wide.size()))));
  return wide;
}

// Under Wine: the path on the host (UTF-8), or nothing elsewhere.
std::optional<std::string> HostPath(const std::string& path) {
  using Convert = char*(CDECL*)(LPCWSTR);
  const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!convert) return std::nullopt;
  char* host = convert(Wide(path, CP_ACP).c_str());
  if (!host) return std::nullopt;
  std::string result(host);
  HeapFree(GetProcessHeap(), 0, host);
  return result;
}

// chattr of the host, which Wine starts like a program of its own. Its
// process handle cannot be waited for: the caller looks for the effect.
bool Chattr(const std::string& flags, const std::string& path) {
  const std::optional<std::string> host = HostPath(path);
  const char* const chattrs[] = {"Z:\\usr\\bin\\chattr", "Z:\\bin\\chattr"};
  for (const char* chattr : chattrs) {
    if (!host || GetFileAttributesA(chattr) == INVALID_FILE_ATTRIBUTES) continue;
    std::wstring command = L"chattr " + Wide(flags, CP_ACP) + L" \"" + Wide(*host, CP_UTF8) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(Wide(chattr, CP_ACP).c_str(), command.data(), nullptr, nullptr, FALSE,
                        CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
      return false;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
  }
  return false;
}

// ---------------------------------------------------------------------------
// A scratch folder with both programs:
//   <temp>\korvalin_robust_<test>\程序\  korvalin.exe, korvalin-cli.exe and Data

class Robustness : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::string(temp) + "korvalin_robust_" + info->name();
    // A run that was ended in the middle of a fault may have left a folder
    // immutable.
    if (scratch::Exists(root_) && Chattr("-R -i", root_)) {
      WaitFor([this] {
        RemoveTree(root_);
        return !scratch::Exists(root_);
      });
    }
    RemoveTree(root_);
    program_ = root_ + "\\程序";
    for (const std::string& dir : {root_, program_}) {
      ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr)) << dir;
    }
    cli_ = program_ + "\\korvalin-cli.exe";
    data_ = program_ + "\\Data";
    ini_ = data_ + "\\Config.ini";
    ASSERT_TRUE(CopyFileA(kCliExe.c_str(), cli_.c_str(), FALSE)) << kCliExe;
    ASSERT_TRUE(CopyFileA(kWindowExe.c_str(), (program_ + "\\korvalin.exe").c_str(), FALSE))
        << kWindowExe;
  }
  void TearDown() override { RemoveTree(root_); }

  // Starts the window program, waits until it shows the three slots' folders
  // and the install path, closes it and checks that it ended with code 0.
  void ExpectWindowShows(const std::array<std::string, 3>& slots,
                         const std::string& installPath) const {
    Program window(program_);
    DWORD code = 0;
    ASSERT_TRUE(window.Window()) << "no window; process " << window.Pid() << " exit code "
                                 << (GetExitCodeProcess(window.Process(), &code) ? code : 0xFFFF);
    for (std::size_t slot = 0; slot < 3; ++slot) {
      EXPECT_TRUE(window.WaitForText(kSlotBoxes[slot], slots[slot]))
          << "slot " << slot + 1 << " shows " << window.Text(kSlotBoxes[slot]).substr(0, 300);
    }
    EXPECT_TRUE(window.WaitForText(kCurrentPathBox, installPath))
        << "the install path shows as " << window.Text(kCurrentPathBox).substr(0, 300);
    EXPECT_EQ(window.Close(), 0u);
  }

  Outcome Cli(const std::vector<std::string>& args) const {
    return RunRaw(cli_, CommandTail(args), {}, DETACHED_PROCESS, nullptr, 60000);
  }

  RegistryKeeper keeper_;
  std::string root_, program_, cli_, data_, ini_;
};

// The line of `status --json` that describes the slot.
std::string SlotLine(const std::string& json, std::size_t slot) {
  const std::string start = "{\"slot\": " + std::to_string(slot + 1) + ",";
  const std::size_t at = json.find(start);
  if (at == std::string::npos) return {};
  return json.substr(at, json.find("\r\n", at) - at);
}

// What `status --json` says of the slot's folder.
std::string FolderField(const std::string& folder) {
  return "\"folder\": " + cli::JsonString(folder) + ", \"client\": ";
}

// Browse on the window's slot and the folder picked in the dialog, as a user
// picks it; an empty text when the box then shows it, else what went wrong.
// Reports nothing to the test itself: safe on any thread.
std::string PickFolder(const Program& window, std::size_t slot, const std::string& folder) {
  static constexpr int kBrowse[] = {kBrowse1, kBrowse2, kBrowse3};
  window.Click(kBrowse[slot]);
  const HWND dialog = drive::WaitForDialog(window.Pid(), drive::Kind::kFolderDialog);
  if (!dialog) return "no folder dialog";
  const bool selected = drive::SelectInFolderDialog(dialog, folder);
  drive::Press(dialog, selected ? IDOK : IDCANCEL);
  if (!drive::WaitUntilGone(dialog)) return "the folder dialog stays";
  if (!selected) return "the dialog does not select " + folder;
  if (!window.WaitForText(kSlotBoxes[slot], folder)) return "the box does not show " + folder;
  return {};
}

// Use on the window's slot, and OK on the confirmation.
std::string UseSlot(const Program& window, std::size_t slot) {
  static constexpr int kUse[] = {kUse1, kUse2, kUse3};
  window.Click(kUse[slot]);
  const HWND box = drive::WaitForDialog(window.Pid(), drive::Kind::kMessageBox);
  if (!box) return "no confirmation";
  drive::Press(box, IDOK);
  return drive::WaitUntilGone(box) ? std::string() : "the confirmation stays";
}

// ---------------------------------------------------------------------------
// Config.ini files of random bytes and random lines.

TEST_F(Robustness, HostileConfigFiles) {
  const Sweep sweep(20240611, 30);
  const std::string installed = root_ + "\\当前的微信";
  SetInstallPath(installed);
  ASSERT_TRUE(CreateDirectoryA(data_.c_str(), nullptr));

  for (std::size_t i = 0; i < sweep.Count(); ++i) {
    if (!sweep.Runs(i)) continue;
    SCOPED_TRACE(sweep.Name(i));
    Random r = sweep.CaseRandom(i);
    const HostileIni ini = r.OneIn(3) ? RandomBytesIni(r) : RandomLinesIni(r);
    SCOPED_TRACE(ini.kind);
    WriteBytes(ini_, ini.bytes);
    SetInstallPath(installed);

    // Reading shows what the rules give, and changes nothing.
    const Outcome status = Cli({"status", "--json"});
    ASSERT_EQ(status.code, 0u) << status.err;
    for (std::size_t slot = 0; slot < 3; ++slot) {
      EXPECT_NE(SlotLine(status.out, slot).find(FolderField(ini.slots[slot])), std::string::npos)
          << "slot " << slot + 1 << ": " << SlotLine(status.out, slot).substr(0, 300);
    }
    EXPECT_NE(status.out.find("\"installPath\": " + cli::JsonString(installed) + ","),
              std::string::npos);
    EXPECT_TRUE(ReadBytes(ini_) == ini.bytes) << "the file changed";

    // Then one switch or one save with what was read.
    const std::size_t slot = r.Below(3);
    const std::string number = std::to_string(slot + 1);
    const std::string& folder = ini.slots[slot];
    std::array<std::string, 3> slots = ini.slots;
    std::string current = installed;
    switch (r.Below(3)) {
      case 0: {  // Use refuses an empty slot, and a folder without a client
        const Outcome use = Cli({"use", number});
        EXPECT_EQ(use.code, folder.empty() ? 3u : 4u) << use.err;
        EXPECT_EQ(InstallPathValue(), Text(installed));
        break;
      }
      case 1: {  // Use --force writes the folder unchanged
        const Outcome use = Cli({"use", number, "--force"});
        EXPECT_EQ(use.code, folder.empty() ? 3u : 0u) << use.err;
        EXPECT_EQ(InstallPathValue(), Text(folder.empty() ? installed : folder));
        if (!folder.empty()) current = folder;
        break;
      }
      default: {  // Set keeps the other slots' items
        const std::string picked = root_ + "\\选的\\" + std::to_string(i);
        const Outcome set = Cli({"set", number, picked, "--force"});
        EXPECT_EQ(set.code, 0u) << set.err;
        const Outcome after = Cli({"status", "--json"});
        for (std::size_t s = 0; s < 3; ++s) {
          EXPECT_NE(SlotLine(after.out, s).find(FolderField(s == slot ? picked : ini.slots[s])),
                    std::string::npos)
              << "slot " << s + 1 << " after set " << number << ": "
              << SlotLine(after.out, s).substr(0, 300);
        }
        slots[slot] = picked;
        break;
      }
    }
    // The window shows the same, and changes nothing.
    const std::string before = ReadBytes(ini_);
    ExpectWindowShows(slots, current);
    EXPECT_TRUE(ReadBytes(ini_) == before) << "the window changed the file";
  }
}

// ---------------------------------------------------------------------------
// InstallPath values of every type, with random data up to 1 MB.

struct HostileValue {
  DWORD type;
  std::string data;
  bool wide;  // set with RegSetValueExW: the bytes kept as they are
};

HostileValue RandomValue(Random& r) {
  static constexpr DWORD kTypes[] = {REG_SZ,     REG_SZ,        REG_SZ,        REG_EXPAND_SZ,
                                     REG_EXPAND_SZ, REG_NONE,   REG_BINARY,    REG_DWORD,
                                     REG_DWORD_BIG_ENDIAN, REG_LINK, REG_MULTI_SZ,
                                     REG_RESOURCE_LIST, REG_QWORD, 0x12345678};
  HostileValue v{r.Pick(kTypes), "", r.OneIn(3)};
  if (r.OneIn(20)) v.type = static_cast<DWORD>(r.Next());
  std::size_t size = r.Below(80);
  switch (r.Below(10)) {
    case 0:
      size = r.Below(4);
      break;
    case 1:
      size = r.Between(256, 65536);
      break;
    case 2:
      size = r.OneIn(3) ? 1024 * 1024 : r.Between(65536, 1024 * 1024);
      break;
    default:
      break;
  }
  const bool zeros = r.OneIn(2);
  if (r.OneIn(2)) {
    v.data = RandomBytes(r, size);
  } else {  // text-like: folders, variables to expand, zero bytes inside or none
    static constexpr std::string_view kParts[] = {
        "%SystemRoot%", "%PATH%", "%没有这个变量%", "%", "\\", std::string_view("\0", 1), "微信"};
    while (v.data.size() < size) {
      if (r.OneIn(6)) {
        const std::string_view part = r.Pick(kParts);
        if (zeros || part[0] != '\0') v.data += part;
      } else {
        v.data += RandomChar(r);
      }
    }
    v.data.resize(size);
  }
  return v;
}

// The value as RegQueryValueExA gives it to any program, and what the rules
// make of it: text values up to their first zero byte, expandable ones
// expanded (when they are no longer than the 32,766 bytes that the system
// expands), every other type nothing.
std::string ReadsAs() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kWeChatKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  DWORD type = 0;
  DWORD size = 0;
  std::string data;
  if (RegQueryValueExA(key, "InstallPath", nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    data.resize(size);
    if (RegQueryValueExA(key, "InstallPath", nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &size) != ERROR_SUCCESS) {
      data.clear();
    }
    data.resize(std::min<std::size_t>(size, data.size()));
  }
  RegCloseKey(key);
  data = data.substr(0, data.find('\0'));
  if (type == REG_SZ) return data;
  if (type != REG_EXPAND_SZ || data.empty() || data.size() > 32766) return {};
  std::string expanded(4 * data.size() + 65536, '\0');
  if (ExpandEnvironmentStringsA(data.c_str(), expanded.data(),
                                static_cast<DWORD>(expanded.size())) == 0) {
    return {};
  }
  return expanded.substr(0, expanded.find('\0'));
}

TEST_F(Robustness, HostileInstallPathValues) {
  const Sweep sweep(20240612, 16);
  for (std::size_t i = 0; i < sweep.Count(); ++i) {
    if (!sweep.Runs(i)) continue;
    SCOPED_TRACE(sweep.Name(i));
    Random r = sweep.CaseRandom(i);
    const HostileValue v = RandomValue(r);
    SCOPED_TRACE("type " + std::to_string(v.type) + ", " + std::to_string(v.data.size()) +
                 " bytes" + (v.wide ? ", set as UTF-16" : ""));
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kWeChatKey, &key), ERROR_SUCCESS);
    const auto* bytes = reinterpret_cast<const BYTE*>(v.data.data());
    const auto size = static_cast<DWORD>(v.data.size());
    ASSERT_EQ(v.wide ? RegSetValueExW(key, L"InstallPath", 0, v.type, bytes, size)
                     : RegSetValueExA(key, "InstallPath", 0, v.type, bytes, size),
              ERROR_SUCCESS);
    RegCloseKey(key);
    const std::string expected = ReadsAs();
    const std::optional<RegistryValue> before = InstallPathValue();

    const Outcome current = Cli({"current"});
    if (expected.empty()) {
      EXPECT_EQ(current.code, 4u) << current.err.substr(0, 300);
      EXPECT_EQ(current.out, "");
    } else {
      EXPECT_EQ(current.code, 0u) << current.err.substr(0, 300);
      EXPECT_TRUE(current.out == expected + "\r\n")
          << current.out.size() << " bytes printed, " << expected.size() << " expected";
    }
    const Outcome status = Cli({"status", "--json"});
    EXPECT_EQ(status.code, 0u) << status.err.substr(0, 300);
    EXPECT_NE(status.out.find("\"installPath\": " + cli::JsonString(expected) + ","),
              std::string::npos);
    // No client in any folder of these.
    const Outcome check = Cli({"check", "--expect", "3.9"});
    EXPECT_EQ(check.code, 4u) << check.err.substr(0, 300);
    ExpectWindowShows({}, expected);
    EXPECT_TRUE(InstallPathValue() == before) << "the value changed";
  }
}

// ---------------------------------------------------------------------------
// Faults of the file and the registry.

// A fault that lasts as long as its object.
class Fault {
 public:
  virtual ~Fault() = default;
  // False when the fault could not be brought about here.
  virtual bool Effective() const { return true; }
};

// A file or folder that the programs under test cannot change: the
// read-only attribute for a file (Windows refuses to write it); for a folder,
// whose attribute Windows ignores, an access list that lets nobody add to
// it. Wine turns both into permission bits of the host, which the root user
// passes: there the host's immutable flag (chattr +i) is set as well, which
// holds for root too.
class ReadOnly : public Fault {
 public:
  explicit ReadOnly(std::string path) : path_(std::move(path)) {
    folder_ = (GetFileAttributesA(path_.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (folder_) {
      PSECURITY_DESCRIPTOR denying = nullptr;
      // Deny FILE_ADD_FILE, FILE_ADD_SUBDIRECTORY, FILE_WRITE_EA and
      // FILE_DELETE_CHILD (0x56); allow everything else.
      if (ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(D;;0x56;;;WD)(A;OICI;FA;;;WD)",
                                                               SDDL_REVISION_1, &denying, nullptr)) {
        SetFileSecurityA(path_.c_str(), DACL_SECURITY_INFORMATION, denying);
        LocalFree(denying);
      }
    } else {
      SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY);
    }
    if (Writable() && Chattr("+i", path_)) {
      immutable_ = true;
      WaitFor([this] { return !Writable(); });
    }
    effective_ = !Writable();
  }
  ~ReadOnly() override {
    if (immutable_) {
      Chattr("-i", path_);
      WaitFor([this] { return Writable(); });
    }
    if (folder_) {
      PSECURITY_DESCRIPTOR open = nullptr;
      if (ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;OICI;FA;;;WD)", SDDL_REVISION_1,
                                                               &open, nullptr)) {
        SetFileSecurityA(path_.c_str(), DACL_SECURITY_INFORMATION, open);
        LocalFree(open);
      }
    } else {
      SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
  }
  bool Effective() const override { return effective_; }

 private:
  bool Writable() const { return folder_ ? CanCreateIn(path_) : CanWriteFile(path_); }

  std::string path_;
  bool folder_ = false;
  bool immutable_ = false;
  bool effective_ = false;
};

// The file held open by another program (an editor, a virus scanner, a
// backup) that shares it only as the given mode allows.
class HeldOpen : public Fault {
 public:
  HeldOpen(const std::string& path, DWORD shareMode)
      : handle_(CreateFileA(path.c_str(), GENERIC_READ, shareMode, nullptr, OPEN_EXISTING, 0,
                            nullptr)) {}
  ~HeldOpen() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  bool Effective() const override { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

class DeniedKey : public Fault {
 public:
  explicit DeniedKey(DWORD denyMask) : denial_(kWeChatKey, denyMask) {}

 private:
  KeyAccessDenial denial_;
};

// Three remembered folders in the file as the programs write it.
std::string ThreeItems(const std::array<std::string, 3>& folders) {
  std::string ini = "[" + std::string(kSection) + "]\r\n";
  for (std::size_t slot = 0; slot < 3; ++slot) {
    ini += std::string(kItemKeys[slot]) + "=" + Enciphered(folders[slot], kSlotKey) + "\r\n";
  }
  return ini;
}

TEST_F(Robustness, FaultsLeaveEveryItemAsItWas) {
  const std::array<std::string, 3> folders = {root_ + "\\微信\\最新", root_ + "\\微信\\版本二",
                                              root_ + "\\微信\\版本三"};
  const std::string installed = root_ + "\\当前的微信";
  const std::string pickable = root_ + "\\选的";
  ASSERT_TRUE(CreateDirectoryA(pickable.c_str(), nullptr));
  enum class Target { kFile, kRegistryWrite, kRegistryRead };
  enum class Data { kNone, kFile, kThreeItems };
  struct Case {
    const char* name;
    Data data;  // what is there before the fault
    Target target;
    std::function<std::vector<std::unique_ptr<Fault>>()> apply;
  };
  using Faults = std::vector<std::unique_ptr<Fault>>;
  auto one = [](Fault* fault) {
    Faults faults;
    faults.emplace_back(fault);
    return faults;
  };
  const Case cases[] = {
      {"Data is a file", Data::kFile, Target::kFile, [] { return Faults(); }},
      {"Config.ini is read-only", Data::kThreeItems, Target::kFile,
       [&] { return one(new ReadOnly(ini_)); }},
      {"Config.ini is held open, shared for reading", Data::kThreeItems, Target::kFile,
       [&] { return one(new HeldOpen(ini_, FILE_SHARE_READ)); }},
      {"Config.ini is held open, not shared at all", Data::kThreeItems, Target::kFile,
       [&] { return one(new HeldOpen(ini_, 0)); }},
      {"the run directory is read-only, no Data yet", Data::kNone, Target::kFile,
       [&] { return one(new ReadOnly(program_)); }},
      {"the run directory, Data and Config.ini are read-only", Data::kThreeItems, Target::kFile,
       [this] {
         Faults faults;
         faults.emplace_back(new ReadOnly(ini_));
         faults.emplace_back(new ReadOnly(data_));
         faults.emplace_back(new ReadOnly(program_));
         return faults;
       }},
      {"the key denies writing its values", Data::kThreeItems, Target::kRegistryWrite,
       [&] { return one(new DeniedKey(KEY_SET_VALUE)); }},
      {"the key denies reading its values", Data::kThreeItems, Target::kRegistryRead,
       [&] { return one(new DeniedKey(KEY_QUERY_VALUE)); }},
  };

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RemoveTree(data_);
    if (c.data == Data::kFile) WriteBytes(data_, "no folder");
    if (c.data == Data::kThreeItems) {
      ASSERT_TRUE(CreateDirectoryA(data_.c_str(), nullptr));
      WriteBytes(ini_, ThreeItems(folders));
    }
    SetInstallPath(installed);
    const std::string dataBefore = ReadBytes(data_);
    const std::string iniBefore = ReadBytes(ini_);
    const bool itemsReadable = c.data == Data::kThreeItems &&
                               std::string_view(c.name).find("not shared") == std::string_view::npos;
    const std::string& picked = folders[0];
    bool switched = false;
    {
      const Faults faults = c.apply();
      bool effective = true;
      for (const auto& fault : faults) effective = effective && fault->Effective();
      if (!effective) {
        ADD_FAILURE() << "the fault could not be brought about here";
        continue;
      }

      const Outcome status = Cli({"status", "--json"});
      EXPECT_EQ(status.code, 0u) << status.err;
      for (std::size_t slot = 0; slot < 3; ++slot) {
        EXPECT_NE(SlotLine(status.out, slot).find(FolderField(itemsReadable ? folders[slot] : "")),
                  std::string::npos)
            << SlotLine(status.out, slot);
      }
      const std::string shownPath = c.target == Target::kRegistryRead ? "" : installed;
      EXPECT_NE(status.out.find("\"installPath\": " + cli::JsonString(shownPath) + ","),
                std::string::npos)
          << status.out;

      // The window shows the same. A folder picked is shown but not kept,
      // and a switch refused is not confirmed: nothing is reported.
      {
        Program window(program_);
        ASSERT_TRUE(window.Window());
        for (std::size_t slot = 0; slot < 3; ++slot) {
          EXPECT_TRUE(window.WaitForText(kSlotBoxes[slot], itemsReadable ? folders[slot] : ""))
              << "slot " << slot + 1 << " shows " << window.Text(kSlotBoxes[slot]);
        }
        EXPECT_TRUE(window.WaitForText(kCurrentPathBox, shownPath));
        if (c.target == Target::kFile) {
          EXPECT_EQ(PickFolder(window, 1, pickable), "");
        } else if (c.target == Target::kRegistryWrite) {
          window.Click(kUse1);
        }
        EXPECT_FALSE(drive::WaitForDialog(window.Pid(), drive::Kind::kMessageBox, 500));
        EXPECT_EQ(window.Close(), 0u);
      }

      // Remembering a folder fails with 6 unless only the registry is at
      // fault; the file is not touched either way.
      const Outcome set = Cli({"set", "2", picked, "--force"});
      if (c.target == Target::kFile) {
        EXPECT_EQ(set.code, 6u) << set.err;
        EXPECT_NE(set.err.find(ini_), std::string::npos) << set.err;
      } else {
        EXPECT_EQ(set.code, 0u) << set.err;
      }

      // The switch: 5 when the value cannot be written, or cannot be read
      // back to confirm it; 3 when the slot's folder cannot be read.
      const Outcome use = Cli({"use", "1", "--force"});
      const DWORD useCode = c.target == Target::kFile ? (itemsReadable ? 0u : 3u) : 5u;
      EXPECT_EQ(use.code, useCode) << use.err;
      switched = useCode == 0 || c.target == Target::kRegistryRead;
    }
    EXPECT_EQ(InstallPathValue(), Text(switched ? folders[0] : installed));
    if (c.target == Target::kFile) {
      EXPECT_TRUE(ReadBytes(data_) == dataBefore) << "Data changed";
      EXPECT_TRUE(ReadBytes(ini_) == iniBefore) << "Config.ini changed";
    }
  }
}

// ---------------------------------------------------------------------------
// Load: programs saving and switching at once.

// Between "已切换到 " and the end of the line (or the client's version).
std::string SwitchedTo(const std::string& out) {
  const std::string start = "已切换到 ";
  if (out.rfind(start, 0) != 0) return {};
  const std::size_t end = out.find_first_of("\r（", start.size());
  return out.substr(start.size(), end == std::string::npos ? std::string::npos : end - start.size());
}

TEST_F(Robustness, CommandLinesSavingAndSwitchingAtOnce) {
  constexpr std::size_t kRounds = 12;
  // Every folder written to a slot, the first one before the load starts.
  std::array<std::vector<std::string>, 3> written;
  for (std::size_t slot = 0; slot < 3; ++slot) {
    written[slot].push_back(root_ + "\\槽" + std::to_string(slot + 1) + "\\起初");
    const Outcome set = Cli({"set", std::to_string(slot + 1), written[slot][0], "--force"});
    ASSERT_EQ(set.code, 0u) << set.err;
  }

  // One saver per slot (each writing the file in turn with the others), and
  // a switcher that reads the slots and writes the registry meanwhile. The
  // workers only gather what happened; the test judges it afterwards.
  std::mutex mutex;
  std::vector<std::string> problems;
  std::vector<std::string> switchedTo;
  std::vector<std::array<std::string, 3>> seen;  // what each status showed
  auto problem = [&](const std::string& what, const Outcome& run) {
    const std::lock_guard<std::mutex> lock(mutex);
    problems.push_back(what + ": exit code " + std::to_string(run.code) + ", " + run.err);
  };
  std::vector<std::thread> workers;
  for (std::size_t slot = 0; slot < 3; ++slot) {
    workers.emplace_back([&, slot] {
      for (std::size_t round = 1; round <= kRounds; ++round) {
        const std::string folder =
            root_ + "\\槽" + std::to_string(slot + 1) + "\\第" + std::to_string(round) + "次";
        const Outcome set =
            Execute(cli_, CommandTail({"set", std::to_string(slot + 1), folder, "--force"}));
        const std::lock_guard<std::mutex> lock(mutex);
        written[slot].push_back(folder);
        if (set.code != 0) problems.push_back("set " + folder + ": " + set.err);
      }
    });
  }
  workers.emplace_back([&] {
    for (std::size_t round = 0; round < 3 * kRounds; ++round) {
      if (round % 3 == 2) {
        const Outcome status = Execute(cli_, CommandTail({"status", "--json"}));
        if (status.code != 0) problem("status", status);
        std::array<std::string, 3> folders;
        for (std::size_t slot = 0; slot < 3; ++slot) folders[slot] = SlotLine(status.out, slot);
        const std::lock_guard<std::mutex> lock(mutex);
        seen.push_back(folders);
        continue;
      }
      const std::string slot = std::to_string(round % 3 + 1);
      const Outcome use = Execute(cli_, CommandTail({"use", slot, "--force"}));
      if (use.code != 0) problem("use " + slot, use);
      const std::lock_guard<std::mutex> lock(mutex);
      switchedTo.push_back(SwitchedTo(use.out));
    }
  });
  for (std::thread& worker : workers) worker.join();

  for (const std::string& p : problems) ADD_FAILURE() << p;
  // Whatever a program read of a slot was a folder written to that slot.
  auto wasWritten = [&](std::size_t slot, const std::string& line) {
    for (const std::string& folder : written[slot]) {
      if (line.find(FolderField(folder)) != std::string::npos) return true;
    }
    return false;
  };
  for (const auto& folders : seen) {
    for (std::size_t slot = 0; slot < 3; ++slot) {
      EXPECT_TRUE(wasWritten(slot, folders[slot])) << folders[slot];
    }
  }
  std::vector<std::string> all;
  for (const auto& folders : written) all.insert(all.end(), folders.begin(), folders.end());
  for (const std::string& folder : switchedTo) {
    EXPECT_NE(std::find(all.begin(), all.end(), folder), all.end()) << folder;
  }
  // Every item reads back as the last value written to it, and the value
  // holds a folder that was written.
  const Outcome status = Cli({"status", "--json"});
  for (std::size_t slot = 0; slot < 3; ++slot) {
    EXPECT_NE(SlotLine(status.out, slot).find(FolderField(written[slot].back())),
              std::string::npos)
        << SlotLine(status.out, slot);
  }
  const std::optional<RegistryValue> value = InstallPathValue();
  ASSERT_TRUE(value);
  EXPECT_NE(std::find_if(all.begin(), all.end(),
                         [&](const std::string& folder) { return Text(folder) == *value; }),
            all.end())
      << value->data;
}

// Two copies of the window and the command line, each remembering folders
// for a slot of its own and switching to them, all at once.
TEST_F(Robustness, WindowsAndCommandLineSavingAndSwitchingAtOnce) {
  constexpr std::size_t kWindowRounds = 4;
  constexpr std::size_t kCliRounds = 8;
  std::array<std::vector<std::string>, 3> written;
  auto folderFor = [&](std::size_t slot, std::size_t round) {
    const std::string folder = root_ + "\\客户端" + std::to_string(slot + 1) + "\\第" +
                               std::to_string(round) + "个";
    return folder;
  };
  for (std::size_t slot = 0; slot < 3; ++slot) {
    ASSERT_TRUE(CreateDirectoryA((root_ + "\\客户端" + std::to_string(slot + 1)).c_str(), nullptr));
    for (std::size_t round = 0; round <= kCliRounds; ++round) {
      ASSERT_TRUE(CreateDirectoryA(folderFor(slot, round).c_str(), nullptr));
    }
    written[slot].push_back(folderFor(slot, 0));
    ASSERT_EQ(Cli({"set", std::to_string(slot + 1), folderFor(slot, 0)}).code, 0u);
  }

  Program first(program_);
  Program second(program_);
  ASSERT_TRUE(first.Window());
  ASSERT_TRUE(second.Window());
  const Program* windows[] = {&first, &second};
  // Both have shown what was remembered before anything is picked: a pick
  // made earlier would be overwritten in the box by the older folder.
  for (const Program* window : windows) {
    for (std::size_t slot = 0; slot < 3; ++slot) {
      ASSERT_TRUE(window->WaitForText(kSlotBoxes[slot], folderFor(slot, 0)));
    }
  }

  std::mutex mutex;
  std::vector<std::string> problems;
  auto note = [&](std::size_t slot, const std::string& what, const std::string& problem) {
    const std::lock_guard<std::mutex> lock(mutex);
    if (!problem.empty()) problems.push_back("slot " + std::to_string(slot + 1) + ", " + what + ": " + problem);
  };
  std::vector<std::thread> workers;
  for (std::size_t slot = 0; slot < 2; ++slot) {
    workers.emplace_back([&, slot] {
      const Program& window = *windows[slot];
      for (std::size_t round = 1; round <= kWindowRounds; ++round) {
        const std::string folder = folderFor(slot, round);
        note(slot, "Browse", PickFolder(window, slot, folder));
        {
          const std::lock_guard<std::mutex> lock(mutex);
          written[slot].push_back(folder);
        }
        note(slot, "Use", UseSlot(window, slot));
      }
    });
  }
  workers.emplace_back([&] {
    for (std::size_t round = 1; round <= kCliRounds; ++round) {
      const std::string folder = folderFor(2, round);
      const Outcome set = Execute(cli_, CommandTail({"set", "3", folder}));
      {
        const std::lock_guard<std::mutex> lock(mutex);
        written[2].push_back(folder);
      }
      note(2, "set", set.code == 0 ? "" : set.err);
      const Outcome use = Execute(cli_, CommandTail({"use", "3", "--force"}));
      note(2, "use", use.code == 0 ? "" : use.err);
    }
  });
  for (std::thread& worker : workers) worker.join();
  for (const std::string& problem : problems) ADD_FAILURE() << problem;
  EXPECT_EQ(first.Close(), 0u);
  EXPECT_EQ(second.Close(), 0u);

  // Every item reads back as the last folder written to it, and the value
  // holds one of the folders.
  std::vector<std::string> all;
  for (const auto& folders : written) all.insert(all.end(), folders.begin(), folders.end());
  const std::optional<RegistryValue> value = InstallPathValue();
  ASSERT_TRUE(value);
  const auto current = std::find_if(all.begin(), all.end(), [&](const std::string& folder) {
    return Text(folder) == *value;
  });
  ASSERT_NE(current, all.end()) << value->data;
  ExpectWindowShows({written[0].back(), written[1].back(), written[2].back()}, *current);
}

// Closing the window while both of its background tasks are at work, again
// and again: the slots' task waits for the file, which the test holds, and
// the install-path task has a value of 1 MB to read and show.
TEST_F(Robustness, ClosingWhileBothTasksAreAtWorkEndsWithZero) {
  constexpr int kTimes = 10;
  const std::string longPath = "D:\\" + std::string(256 * 1024, 'W');
  SetInstallPath(longPath);
  ASSERT_TRUE(CreateDirectoryA(data_.c_str(), nullptr));
  WriteBytes(ini_, ThreeItems({"D:\\甲", "D:\\乙", "D:\\丙"}));
  const std::string iniBefore = ReadBytes(ini_);
  int pathStillComing = 0;
  for (int i = 0; i < kTimes; ++i) {
    SCOPED_TRACE("time " + std::to_string(i + 1));
    const platform::ProfileFileLock held(ini_);
    Program window(program_);
    ASSERT_TRUE(window.Window());
    // Asked without waiting: a box still empty, or a window too busy to
    // answer (it is taking in the 1 MB text), means the task is at work.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window.Control(kCurrentPathBox), WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL,
                             50, &length) ||
        length == 0) {
      ++pathStillComing;
    }
    EXPECT_EQ(window.Close(), 0u);
  }
  // The slots' task was at work every time, the install-path task most
  // times (it depends on timing).
  EXPECT_GT(pathStillComing, kTimes / 2);
  EXPECT_TRUE(ReadBytes(ini_) == iniBefore);
}

}  // namespace
