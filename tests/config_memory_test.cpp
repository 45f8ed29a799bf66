// ConfigStore's control state and window placement memories: real form
// windows on Wine's window manager, and INI files read back through the real
// profile functions.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "cipher/value_cipher.h"
#include "config/config_store.h"
#include "platform/gui/messages.h"
#include "platform/gui/toolkit.h"
#include "platform/gui/window_state.h"
#include "tests/opened_windows.h"

namespace {

namespace gui = platform::gui;
using gui::ControlForm;
using gui::ControlKind;
using gui::Window;

constexpr const char* kKey = "peltrimuva";
constexpr const char* kAbsent = "<absent>";

// Every kind, a container, and tags that are blank (two spaces, a full-width
// space, none), that have spaces around them, and that two controls share.
constexpr ControlForm kMemoryControls[] = {
    {ControlKind::kCheckBox, "选择框1", 8, 8, 120, 20, "记住我", {}, "login"},
    {ControlKind::kCheckBox, "选择框2", 140, 8, 120, 20, "两个空格", {}, "  "},
    {ControlKind::kCheckBox, "选择框3", 270, 8, 120, 20, "全角空格", {}, "\xA1\xA1"},
    {ControlKind::kGroupBox, "分组框1", 8, 34, 380, 200, "选项", {}, "group"},
    {ControlKind::kCheckBox, "选择框4", 10, 20, 120, 20, "a", "分组框1", " a "},
    {ControlKind::kCheckBox, "选择框5", 140, 20, 120, 20, "ba", "分组框1", "ba"},
    {ControlKind::kRadioButton, "单选框1", 10, 44, 100, 20, "甲", "分组框1", "pick"},
    {ControlKind::kRadioButton, "单选框2", 140, 44, 100, 20, "乙", "分组框1", "pick"},
    {ControlKind::kComboBox, "组合框1", 10, 70, 150, 20, "北京\n上海\n广州", "分组框1", "city"},
    {ControlKind::kMultiLineEdit, "编辑框1", 10, 100, 360, 80, "", "分组框1", "note"},
    {ControlKind::kEdit, "编辑框2", 8, 242, 200, 20, "", {}, "name"},
    {ControlKind::kEdit, "编辑框3", 8, 268, 200, 20, "无标记"},
    {ControlKind::kTabControl, "选择夹1", 8, 294, 380, 30, "一\n二\n三", {}, "pages"},
    {ControlKind::kButton, "按钮1", 220, 242, 80, 28, "按钮", {}, "button"},
};

const gui::Form kMemoryForm{"记忆", 420, 380, 0, kMemoryControls, {}, nullptr};

constexpr const char* kAllKinds = "选择框,单选框,组合框,编辑框,选择夹";

std::string ExecutableFileName() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string full = path;
  return full.substr(full.rfind('\\') + 1);
}

// A scratch INI file and the windows of one test.
class Memory : public testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "korvalin_memory_" +
              testing::UnitTest::GetInstance()->current_test_info()->name();
    CreateDirectoryA(folder_.c_str(), nullptr);
    ini_ = folder_ + "\\Memory.ini";
    DeleteFileA(ini_.c_str());
    store_.Open(ini_);
  }
  void TearDown() override {
    DeleteFileA(ini_.c_str());
    RemoveDirectoryA(folder_.c_str());
  }

  Window Open(const gui::Form& form = kMemoryForm) { return windows_.Open(form); }
  HWND Control(Window w, const char* name) { return Hwnd(gui::FindControl(w, name)); }

  // The file as the profile functions read it.
  std::string Raw(const std::string& section, const std::string& key) const {
    char buf[4096] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), kAbsent, buf, sizeof buf, ini_.c_str());
    return buf;
  }
  std::vector<std::string> KeysOf(const std::string& section) const {
    char buf[4096] = {};
    const DWORD n =
        GetPrivateProfileStringA(section.c_str(), nullptr, "", buf, sizeof buf, ini_.c_str());
    std::vector<std::string> keys;
    for (DWORD i = 0; i < n; i += static_cast<DWORD>(keys.back().size()) + 1) {
      keys.emplace_back(buf + i);
    }
    return keys;
  }
  // Writes an item as it stands (nullptr removes it).
  void Put(const std::string& section, const std::string& key, const char* value) const {
    WritePrivateProfileStringA(section.c_str(), key.c_str(), value, ini_.c_str());
  }

  std::string folder_, ini_;
  config::ConfigStore store_;
  OpenedWindows windows_;
};

bool Ticked(HWND h) { return SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED; }
void Tick(HWND h, bool on) { SendMessageA(h, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }
int Chosen(HWND h) { return static_cast<int>(SendMessageA(h, CB_GETCURSEL, 0, 0)); }
int Page(HWND h) { return static_cast<int>(SendMessageA(h, TCM_GETCURSEL, 0, 0)); }
std::string Text(HWND h) {
  char buf[1024] = {};
  const int n = GetWindowTextA(h, buf, sizeof buf);
  return std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

using KeyList = std::vector<std::string>;

// A window's outer rectangle as GetWindowRect gives it.
struct Place {
  long left, top, width, height;
  bool operator==(const Place&) const = default;
  friend std::ostream& operator<<(std::ostream& out, const Place& p) {
    return out << "(" << p.left << ", " << p.top << ") " << p.width << " x " << p.height;
  }
};

Place PlaceOf(Window w) {
  RECT r{};
  GetWindowRect(Hwnd(w), &r);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// Control state memory

TEST_F(Memory, EveryTaggedControlOfTheKindsAskedForIsOneItemAndComesBack) {
  for (const char* key : {"", kKey}) {
    SCOPED_TRACE(std::string("key \"") + key + "\"");
    DeleteFileA(ini_.c_str());
    store_.Open(ini_, key);
    const Window saved = Open();
    ASSERT_TRUE(saved);
    Tick(Control(saved, "选择框1"), true);
    Tick(Control(saved, "选择框2"), true);
    Tick(Control(saved, "选择框3"), true);
    Tick(Control(saved, "选择框5"), true);
    Tick(Control(saved, "单选框2"), true);  // shares its tag with 单选框1, later in the form
    SendMessageA(Control(saved, "组合框1"), CB_SETCURSEL, 2, 0);
    SetWindowTextA(Control(saved, "编辑框1"), "第一行\r\n他说\"好\"");
    SetWindowTextA(Control(saved, "编辑框2"), "张三");
    SetWindowTextA(Control(saved, "编辑框3"), "没有标记");
    SendMessageA(Control(saved, "选择夹1"), TCM_SETCURSEL, 1, 0);

    EXPECT_TRUE(store_.SaveControls(saved, kAllKinds));
    EXPECT_EQ(KeysOf("System"), (KeyList{"选择框-login", "选择框-a", "选择框-ba", "单选框-pick",
                                    "组合框-city", "编辑框-note", "编辑框-name", "选择夹-pages"}));
    const std::pair<const char*, const char*> items[] = {
        {"选择框-login", "真"}, {"选择框-a", "假"},
        {"选择框-ba", "真"},    {"单选框-pick", "真"},
        {"组合框-city", "2"},   {"编辑框-note", "第一行><br><他说%22好%22"},
        {"编辑框-name", "张三"}, {"选择夹-pages", "1"},
    };
    for (const auto& [item, plain] : items) {
      EXPECT_EQ(Raw("System", item), *key ? cipher::EncodeValue(plain, key) : plain) << item;
    }

    // A window of the same form, as it first comes up, gets them back.
    const Window restored = Open();
    ASSERT_TRUE(restored);
    EXPECT_TRUE(store_.RestoreControls(restored, kAllKinds));
    EXPECT_TRUE(Ticked(Control(restored, "选择框1")));
    EXPECT_FALSE(Ticked(Control(restored, "选择框2")));  // blank tags are never remembered
    EXPECT_FALSE(Ticked(Control(restored, "选择框3")));
    EXPECT_FALSE(Ticked(Control(restored, "选择框4")));
    EXPECT_TRUE(Ticked(Control(restored, "选择框5")));
    EXPECT_TRUE(Ticked(Control(restored, "单选框1")));  // the shared item ticks both
    EXPECT_TRUE(Ticked(Control(restored, "单选框2")));
    EXPECT_EQ(Chosen(Control(restored, "组合框1")), 2);
    EXPECT_EQ(Text(Control(restored, "组合框1")), "广州");
    EXPECT_EQ(Text(Control(restored, "编辑框1")), "第一行\r\n他说\"好\"");
    EXPECT_EQ(Text(Control(restored, "编辑框2")), "张三");
    EXPECT_EQ(Text(Control(restored, "编辑框3")), "无标记");
    EXPECT_EQ(Page(Control(restored, "选择夹1")), 1);
  }
}

TEST_F(Memory, KindListsSplitAtEveryCommaAndThePiecesAreNotTrimmed) {
  const Window w = Open();
  ASSERT_TRUE(w);
  const KeyList checkAndEdit = {"选择框-login", "选择框-a", "选择框-ba", "编辑框-note", "编辑框-name"};
  const KeyList checkOnly = {"选择框-login", "选择框-a", "选择框-ba"};
  struct Case {
    const char* kinds;
    bool result;
    KeyList saved;
  };
  const Case cases[] = {
      {"选择框,编辑框", true, checkAndEdit},
      {"选择框,,编辑框", true, checkAndEdit},
      {"选择框,编辑框,", true, checkAndEdit},
      {",,选择框,编辑框", true, checkAndEdit},
      {"选择框, 编辑框", true, checkOnly},
      {"选择框,编辑框 ", true, checkOnly},
      {"选择框", true, checkOnly},
      {",", true, {}},
      {" 选择框", true, {}},
      {"按钮", true, {}},
      {"分组框", true, {}},
      {"", false, {}},
      {"  ", false, {}},
      {"\xA1\xA1", false, {}},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i) + " \"" + cases[i].kinds + "\"");
    DeleteFileA(ini_.c_str());
    EXPECT_EQ(store_.SaveControls(w, cases[i].kinds), cases[i].result);
    EXPECT_EQ(KeysOf("System"), cases[i].saved);
  }

  // Restoring splits the same way: with a space after the comma only the
  // check boxes come back.
  const Window other = Open();
  ASSERT_TRUE(other);
  Put("System", "选择框-login", "真");
  Put("System", "编辑框-name", "李四");
  EXPECT_TRUE(store_.RestoreControls(other, "选择框, 编辑框"));
  EXPECT_TRUE(Ticked(Control(other, "选择框1")));
  EXPECT_EQ(Text(Control(other, "编辑框2")), "");
  EXPECT_TRUE(store_.RestoreControls(other, "选择框,,编辑框,"));
  EXPECT_EQ(Text(Control(other, "编辑框2")), "李四");
  EXPECT_FALSE(store_.RestoreControls(other, " "));
}

TEST_F(Memory, SkipTagsGainACommaAndSkipEveryTagFoundInThem) {
  const Window w = Open();
  ASSERT_TRUE(w);
  struct Case {
    const char* skipTags;
    const char* afterwards;  // the caller's text
    bool login, a, ba;       // restored (ticked) or left alone
  };
  const Case cases[] = {
      {"a", "a,", true, false, true},
      {"ba", "ba,", true, false, false},  // "a," occurs in "ba,"
      {"a ", "a ,", true, true, true},
      {"a,", "a,", true, false, true},
      {"login,a", "login,a,", false, false, true},
      {"ba,login", "ba,login,", false, false, false},
      {"LOGIN", "LOGIN,", true, true, true},
      {"", "", true, true, true},
      {"  ", "  ", true, true, true},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i) + " \"" + cases[i].skipTags + "\"");
    for (const char* name : {"选择框1", "选择框4", "选择框5"}) Tick(Control(w, name), false);
    Put("System", "选择框-login", "真");
    Put("System", "选择框-a", "真");
    Put("System", "选择框-ba", "真");
    std::string skipTags = cases[i].skipTags;
    EXPECT_TRUE(store_.RestoreControls(w, "选择框", skipTags));
    EXPECT_EQ(skipTags, cases[i].afterwards);
    EXPECT_EQ(Ticked(Control(w, "选择框1")), cases[i].login);
    EXPECT_EQ(Ticked(Control(w, "选择框4")), cases[i].a);
    EXPECT_EQ(Ticked(Control(w, "选择框5")), cases[i].ba);
  }
  // Nothing is done, the caller's text included, when kinds is blank.
  std::string skipTags = "a";
  EXPECT_FALSE(store_.RestoreControls(w, "", skipTags));
  EXPECT_EQ(skipTags, "a");
}

TEST_F(Memory, CheckBoxesAndRadioButtonsAreTickedOnlyByTrue) {
  const Window w = Open();
  ASSERT_TRUE(w);
  struct Case {
    const char* stored;  // nullptr: no item
    bool before, after;
  };
  const Case cases[] = {
      {"真", false, true}, {"假", true, false},  {"1", true, false}, {"true", true, false},
      {"真真", true, false}, {nullptr, true, true}, {nullptr, false, false}, {"", true, true},
  };
  struct Kind {
    const char* kind;
    const char* key;
    const char* control;
  };
  for (const Kind& k : {Kind{"选择框", "选择框-login", "选择框1"},
                        Kind{"单选框", "单选框-pick", "单选框1"}}) {
    const HWND control = Control(w, k.control);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
      SCOPED_TRACE(std::string(k.kind) + " case " + std::to_string(i));
      Put("System", k.key, cases[i].stored);
      Tick(control, cases[i].before);
      EXPECT_TRUE(store_.RestoreControls(w, k.kind));
      EXPECT_EQ(Ticked(control), cases[i].after);
    }
  }
}

TEST_F(Memory, ComboBoxesChooseTheirEntryOrGetTheirEditTextBack) {
  const Window w = Open();
  ASSERT_TRUE(w);
  const HWND combo = Control(w, "组合框1");
  struct Case {
    const char* index;  // nullptr: no item
    const char* text;   // the second item; nullptr: none
    int chosenBefore;
    int chosen;
    const char* shown;
  };
  const Case cases[] = {
      {"1", nullptr, -1, 1, "上海"},
      {"1.9", nullptr, -1, 1, "上海"},
      {"\xA3\xB2", nullptr, -1, 2, "广州"},  // a full-width 2
      {"abc", nullptr, -1, 0, "北京"},
      {"0", "abc", -1, 0, "北京"},           // the second item only goes with -1
      {"-1", "abc", -1, -1, "abc"},
      {"-1", nullptr, -1, -1, ""},           // applied even when it is empty
      {"-1", "", -1, -1, ""},
      {"3", nullptr, 2, 2, "广州"},           // no such entry: left alone
      {"-2", nullptr, 2, 2, "广州"},
      {"-1.0", nullptr, 2, 2, "广州"},        // not exactly -1: an index, and none
      {"", "abc", 2, 2, "广州"},
      {nullptr, "abc", 2, 2, "广州"},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    const Case& c = cases[i];
    Put("System", "组合框-city", c.index);
    Put("System", "组合框-city-内容", c.text);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(c.chosenBefore), 0);
    if (c.chosenBefore == -1) SetWindowTextA(combo, "旧的");
    EXPECT_TRUE(store_.RestoreControls(w, "组合框"));
    EXPECT_EQ(Chosen(combo), c.chosen);
    EXPECT_EQ(Text(combo), c.shown);
  }
}

TEST_F(Memory, AComboBoxsEditTextIsKeptOnlyWhenNoEntryIsChosen) {
  const Window w = Open();
  ASSERT_TRUE(w);
  const HWND combo = Control(w, "组合框1");
  SendMessageA(combo, CB_SETCURSEL, 1, 0);
  ASSERT_TRUE(store_.SaveControls(w, "组合框"));
  EXPECT_EQ(KeysOf("System"), KeyList{"组合框-city"});
  EXPECT_EQ(Raw("System", "组合框-city"), "1");

  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  SetWindowTextA(combo, "abc");
  ASSERT_TRUE(store_.SaveControls(w, "组合框"));
  EXPECT_EQ(Raw("System", "组合框-city"), "-1");
  EXPECT_EQ(Raw("System", "组合框-city-内容"), "abc");

  // Cleared and saved again: only the index is written, so the older text
  // comes back.
  SetWindowTextA(combo, "");
  ASSERT_TRUE(store_.SaveControls(w, "组合框"));
  EXPECT_EQ(Raw("System", "组合框-city-内容"), "abc");
  SetWindowTextA(combo, "xyz");
  ASSERT_TRUE(store_.RestoreControls(w, "组合框"));
  EXPECT_EQ(Text(combo), "abc");
  EXPECT_EQ(Chosen(combo), -1);

  // Spaces are a text: written, trimmed to nothing, and restored as such.
  SetWindowTextA(combo, "   ");
  ASSERT_TRUE(store_.SaveControls(w, "组合框"));
  EXPECT_EQ(Raw("System", "组合框-city-内容"), "");
  SetWindowTextA(combo, "xyz");
  ASSERT_TRUE(store_.RestoreControls(w, "组合框"));
  EXPECT_EQ(Text(combo), "");
}

TEST_F(Memory, EditTextsKeepLineBreaksAndQuotesThroughTheirEncoding) {
  const Window w = Open();
  ASSERT_TRUE(w);
  const HWND note = Control(w, "编辑框1");
  struct Case {
    std::string text, stored, restored;
  };
  const Case cases[] = {
      {"a\r\nb", "a><br><b", "a\r\nb"},
      {"say \"hi\"", "say %22hi%22", "say \"hi\""},
      {"\"\r\n\"", "%22><br><%22", "\"\r\n\""},
      {"中文\"引号\"\r\n\r\n", "中文%22引号%22><br><><br><", "中文\"引号\"\r\n\r\n"},
      // The encoding has no escape of its own: these come back changed.
      {"50%22off", "50%22off", "50\"off"},
      {"x><br><y", "x><br><y", "x\r\ny"},
      {"  padded  ", "padded", "padded"},
      // Saved as an empty item, which leaves the box as it is.
      {"", "", "原文"},
      {"   ", "", "原文"},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    SetWindowTextA(note, cases[i].text.c_str());
    ASSERT_TRUE(store_.SaveControls(w, "编辑框"));
    EXPECT_EQ(Raw("System", "编辑框-note"), cases[i].stored);
    SetWindowTextA(note, "原文");
    ASSERT_TRUE(store_.RestoreControls(w, "编辑框"));
    EXPECT_EQ(Text(note), cases[i].restored);
  }
  // So does a missing item.
  Put("System", "编辑框-note", nullptr);
  ASSERT_TRUE(store_.RestoreControls(w, "编辑框"));
  EXPECT_EQ(Text(note), "原文");
}

TEST_F(Memory, TabControlsOpenTheStoredPageWhenTheyHaveIt) {
  const Window w = Open();
  ASSERT_TRUE(w);
  const HWND tab = Control(w, "选择夹1");
  struct Case {
    const char* stored;
    int page;
  };
  const Case cases[] = {{"2", 2}, {"1.5", 1}, {"x", 0}, {"3", 1}, {"-1", 1}, {"", 1}, {nullptr, 1}};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    SendMessageA(tab, TCM_SETCURSEL, 1, 0);
    Put("System", "选择夹-pages", cases[i].stored);
    ASSERT_TRUE(store_.RestoreControls(w, "选择夹"));
    EXPECT_EQ(Page(tab), cases[i].page);
  }
}

TEST_F(Memory, ItemsGoToThePrefixedSectionsOfTheStore) {
  store_.SetDefaultSection("窗体");
  store_.SetSectionPrefix("P.");
  const Window w = Open();
  ASSERT_TRUE(w);
  ASSERT_TRUE(store_.SaveControls(w, "选择夹"));
  store_.SaveWindowPlacement(w);
  EXPECT_EQ(KeysOf("P.窗体"), KeyList{"选择夹-pages"});
  EXPECT_EQ(KeysOf("P." + ExecutableFileName()), (KeyList{"WinTop", "WinLeft", "Maximization"}));
  EXPECT_EQ(KeysOf("System"), KeyList{});
}

TEST_F(Memory, AWindowThatIsNotLoadedIsLeftAloneAndNothingIsWritten) {
  const Window w = Open();
  ASSERT_TRUE(w);
  DestroyWindow(Hwnd(w));
  std::string skipTags = "a";
  EXPECT_FALSE(store_.SaveControls(w, kAllKinds));
  EXPECT_FALSE(store_.RestoreControls(w, kAllKinds, skipTags));
  EXPECT_EQ(skipTags, "a");
  store_.SaveWindowPlacement(w, true);
  store_.RestoreWindowPlacement(w, true);
  EXPECT_EQ(GetFileAttributesA(ini_.c_str()), INVALID_FILE_ATTRIBUTES);
}

// Window placement memory

class Placement : public Memory {
 protected:
  void SetUp() override {
    Memory::SetUp();
    section_ = ExecutableFileName();
    screen_ = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  // Back to a normal window of the form's size, away from every expected
  // place.
  static void Reset(Window w) {
    ShowWindow(Hwnd(w), SW_RESTORE);
    MoveWindow(Hwnd(w), 33, 44, 420, 380, TRUE);
  }
  // Writes the record as it stands; nullptr leaves an item out.
  void Record(const char* top, const char* left, const char* width, const char* height,
              const char* maximization) const {
    WritePrivateProfileStringA(section_.c_str(), nullptr, nullptr, ini_.c_str());
    Put(section_, "WinTop", top);
    Put(section_, "WinLeft", left);
    Put(section_, "WinWidth", width);
    Put(section_, "WinHeight", height);
    Put(section_, "Maximization", maximization);
  }
  std::string section_;
  SIZE screen_{};
};

TEST_F(Placement, SavingRecordsTheOuterRectangleAndTheDisplayState) {
  const Window w = Open();
  ASSERT_TRUE(w);
  MoveWindow(Hwnd(w), -8, 120, 430, 390, TRUE);
  store_.SaveWindowPlacement(w);
  EXPECT_EQ(KeysOf(section_), (KeyList{"WinTop", "WinLeft", "Maximization"}));
  EXPECT_EQ(Raw(section_, "WinTop"), "120");
  EXPECT_EQ(Raw(section_, "WinLeft"), "-8");
  EXPECT_EQ(Raw(section_, "Maximization"), "0");

  store_.SaveWindowPlacement(w, true);
  EXPECT_EQ(Raw(section_, "WinWidth"), "430");
  EXPECT_EQ(Raw(section_, "WinHeight"), "390");

  // Under a key, and back into a window of the same form.
  store_.Open(ini_, kKey);
  MoveWindow(Hwnd(w), 100, 90, 440, 400, TRUE);
  store_.SaveWindowPlacement(w, true);
  EXPECT_EQ(Raw(section_, "WinLeft"), cipher::EncodeValue("100", kKey));
  const Window other = Open();
  ASSERT_TRUE(other);
  store_.RestoreWindowPlacement(other, true);
  EXPECT_EQ(PlaceOf(other), (Place{100, 90, 440, 400}));
}

TEST_F(Placement, AWindowSavedMaximisedComesBackMaximisedWhateverThePosition) {
  const Window w = Open();
  ASSERT_TRUE(w);
  ShowWindow(Hwnd(w), SW_MAXIMIZE);
  store_.SaveWindowPlacement(w, true);
  EXPECT_EQ(Raw(section_, "Maximization"), "3");
  Put(section_, "WinLeft", "77");
  Put(section_, "WinWidth", "abc");

  const Window other = Open();
  ASSERT_TRUE(other);
  store_.RestoreWindowPlacement(other, true);
  EXPECT_TRUE(IsZoomed(Hwnd(other)));
  EXPECT_EQ(PlaceOf(other), PlaceOf(w));
}

TEST_F(Placement, AWindowSavedMinimisedStoresTwoAndIsNotMinimisedOnRestoring) {
  const Window w = Open();
  ASSERT_TRUE(w);
  ShowWindow(Hwnd(w), SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(Hwnd(w)));
  const Place iconic = PlaceOf(w);
  store_.SaveWindowPlacement(w);
  EXPECT_EQ(Raw(section_, "Maximization"), "2");
  EXPECT_EQ(Raw(section_, "WinLeft"), std::to_string(iconic.left));
  EXPECT_EQ(Raw(section_, "WinTop"), std::to_string(iconic.top));

  const Window other = Open();
  ASSERT_TRUE(other);
  Record("60", "50", nullptr, nullptr, "2");
  store_.RestoreWindowPlacement(other);
  EXPECT_FALSE(IsIconic(Hwnd(other)));
  EXPECT_FALSE(IsZoomed(Hwnd(other)));
  EXPECT_EQ(PlaceOf(other), (Place{50, 60, 420, 380}));
}

TEST_F(Placement, OnlyExactlyThreeMaximises) {
  struct Case {
    std::string stored;  // under the store's key, so that spaces survive
    bool maximised;
  };
  const Case cases[] = {{"3", true},    {" 3", false}, {"3 ", false}, {"3.0", false},
                        {"03", false},  {"\xA3\xB3", false}, {"2", false}, {"", false}};
  store_.Open(ini_, kKey);
  const Window w = Open();
  ASSERT_TRUE(w);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i) + " \"" + cases[i].stored + "\"");
    Reset(w);
    const std::string top = cipher::EncodeValue("40", kKey);
    const std::string state = cipher::EncodeValue(cases[i].stored, kKey);
    Record(top.c_str(), top.c_str(), nullptr, nullptr, state.c_str());
    store_.RestoreWindowPlacement(w);
    EXPECT_EQ(IsZoomed(Hwnd(w)) != FALSE, cases[i].maximised);
    if (!cases[i].maximised) {
      EXPECT_EQ(PlaceOf(w), (Place{40, 40, 420, 380}));
    }
  }
}

TEST_F(Placement, PositionsOffTheScreenAreBroughtOntoIt) {
  const int w = screen_.cx, h = screen_.cy;
  struct Case {
    std::string left, top;
    int expectedLeft, expectedTop;
  };
  const Case cases[] = {
      {std::to_string(w - 300), std::to_string(h - 300), w - 300, h - 300},  // just inside
      {std::to_string(w - 299), std::to_string(h - 299), w / 2, h / 2},      // just beyond
      {"-12", "-1", 0, 0},
      {"-2000", "40", 0, 40},                              // a monitor to the left
      {"40", "-900", 40, 0},                               // above
      {std::to_string(w + 200), "40", w / 2, 40},          // to the right
      {"40", std::to_string(h + 10), 40, h / 2},           // below
      {"0", "0", 0, 0},
      {"12.9", "-0.5", 12, 0},
      {"abc", "", 0, 0},
      {"\xA3\xB1\xA3\xB2", "\xA3\xAD\xA3\xB5", 12, 0},    // full-width 12 and -5
      {"1e2", "7x", 100, 7},
  };
  const Window win = Open();
  ASSERT_TRUE(win);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i) + " " + cases[i].left + " " + cases[i].top);
    Reset(win);
    Record(cases[i].top.c_str(), cases[i].left.c_str(), "999", "999", "0");
    store_.RestoreWindowPlacement(win);
    // Without withSize the size stays.
    EXPECT_EQ(PlaceOf(win), (Place{cases[i].expectedLeft, cases[i].expectedTop, 420, 380}));
  }
}

TEST_F(Placement, TheSizeIsAppliedWithSizeAndAMissingWidthKeepsTheWholeSize) {
  const int minWidth = GetSystemMetrics(SM_CXMINTRACK);
  struct Case {
    bool withSize;
    const char* width;  // nullptr: no item
    const char* height;
    int expectedWidth, expectedHeight;
  };
  const Case cases[] = {
      {true, "400", "300", 400, 300},
      {true, "400", nullptr, 400, 380},
      {true, nullptr, "300", 420, 380},
      {true, "-1", "300", 420, 380},
      {true, "430", "-1", 430, 380},
      {true, "0", "300", minWidth, 300},  // the system's smallest width
      {true, "abc", "300", minWidth, 300},
      {false, "400", "300", 420, 380},
  };
  const Window w = Open();
  ASSERT_TRUE(w);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    Reset(w);
    Record("60", "50", cases[i].width, cases[i].height, "0");
    store_.RestoreWindowPlacement(w, cases[i].withSize);
    EXPECT_EQ(PlaceOf(w), (Place{50, 60, cases[i].expectedWidth, cases[i].expectedHeight}));
  }
}

TEST_F(Placement, SavingWithoutSizeKeepsTheSizeOfAnEarlierSave) {
  const Window w = Open();
  ASSERT_TRUE(w);
  // None saved yet: only the position is applied.
  MoveWindow(Hwnd(w), 30, 40, 420, 380, TRUE);
  store_.SaveWindowPlacement(w);
  const Window first = Open();
  ASSERT_TRUE(first);
  store_.RestoreWindowPlacement(first, true);
  EXPECT_EQ(PlaceOf(first), (Place{30, 40, 420, 380}));

  MoveWindow(Hwnd(w), 30, 40, 450, 400, TRUE);
  store_.SaveWindowPlacement(w, true);
  MoveWindow(Hwnd(w), 70, 80, 430, 390, TRUE);
  store_.SaveWindowPlacement(w);
  EXPECT_EQ(Raw(section_, "WinWidth"), "450");
  const Window second = Open();
  ASSERT_TRUE(second);
  store_.RestoreWindowPlacement(second, true);
  EXPECT_EQ(PlaceOf(second), (Place{70, 80, 450, 400}));
}

TEST_F(Placement, WithoutAStoredTopTheWindowStaysWhereItIs) {
  const Window w = Open();
  ASSERT_TRUE(w);
  const Place before = PlaceOf(w);
  for (const char* state : {static_cast<const char*>(nullptr), "0"}) {
    Record(nullptr, "50", "400", "300", state);
    store_.RestoreWindowPlacement(w, true);
    EXPECT_EQ(PlaceOf(w), before);
  }
  // A stored top without a left: the left edge reads as -1 and becomes 0.
  Record("60", nullptr, nullptr, nullptr, nullptr);
  store_.RestoreWindowPlacement(w);
  EXPECT_EQ(PlaceOf(w), (Place{0, 60, before.width, before.height}));
}

// A window that restores its placement in its created event, before it is
// shown, as a form of the toolkit would.
const config::ConfigStore* creationStore = nullptr;
void RestoreAtCreation(Window w) noexcept { creationStore->RestoreWindowPlacement(w, true); }

TEST_F(Placement, RestoredWhileStillHiddenAWindowComesUpInItsPlace) {
  const gui::Form form{"记忆", 420, 380, 0, kMemoryControls, {}, RestoreAtCreation};
  creationStore = &store_;
  Record("70", "60", "440", "390", "0");
  Window w = Open(form);
  ASSERT_TRUE(w);
  EXPECT_EQ(PlaceOf(w), (Place{60, 70, 440, 390}));
  EXPECT_TRUE(IsWindowVisible(Hwnd(w)));

  Record("70", "60", "440", "390", "3");
  w = Open(form);
  ASSERT_TRUE(w);
  EXPECT_TRUE(IsWindowVisible(Hwnd(w)));
  EXPECT_TRUE(IsZoomed(Hwnd(w)));
}

}  // namespace
