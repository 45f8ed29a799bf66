// MainWindow's version slots, in this process and through the real controls:
// the Use buttons against the real registry, the Browse buttons through the
// shell's folder dialog into Data\Config.ini, the folder picker's options,
// clicks that arrive while a save lets messages through, and a window closed
// while a background task still reads the store. A helper thread answers the
// dialogs as a user would.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/folder_picker.h"
#include "app/main_window.h"
#include "client_key.h"
#include "config_file.h"
#include "config/config_store.h"
#include "config/version_slots.h"
#include "dialog_driver.h"
#include "platform/folders.h"
#include "platform/gui/messages.h"
#include "platform/gui/toolkit.h"

namespace {

namespace gui = platform::gui;
using drive::Kind;

HWND Hwnd(gui::Window w) { return static_cast<HWND>(w.handle); }
HWND Hwnd(gui::Control c) { return static_cast<HWND>(c.handle); }

const std::string kFormText1 = "d:\\Program Files (x86)\\Tencent\\WeChat";
const std::string kFormText23 = "d:\\Program Files (x86)\\Tencent\\WeChat6";

const app::WindowSlot& Row(int slot) { return app::kWindowSlots[slot - 1]; }

// Pumps the GUI thread until done() or about ten seconds have passed.
template <typename F>
bool PumpUntil(F done) {
  for (int i = 0; i < 1000; ++i) {
    if (done()) return true;
    gui::ProcessWaitingMessages();
    Sleep(10);
  }
  return done();
}

std::string IniPath() { return platform::RunDirectory() + "\\Data\\Config.ini"; }
std::string IniBytes() { return config_file::Bytes(IniPath()); }
using config_file::StoredFolder;

// A real folder under the temporary folder.
std::string MakeFolder(const std::string& name) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string base = std::string(temp) + "korvalin_版本槽";
  CreateDirectoryA(base.c_str(), nullptr);
  const std::string folder = base + "\\" + name;
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

// Remembers folders as the window does, without the window.
void RememberDirectly(const std::vector<std::pair<int, std::string>>& folders,
                      std::string_view key = config::kSlotStoreKey) {
  config::ConfigStore store;
  store.Open({}, key);
  for (const auto& [slot, folder] : folders) ASSERT_TRUE(config::SaveSlotPath(store, slot, folder));
}

// What the background tasks hand to the boxes, seen through the task probe;
// a task can be held at one box until Unblock().
struct TaskLog {
  std::mutex mutex;
  int calls[4] = {};
  std::string last[4];
};
TaskLog taskLog;
std::atomic<int> blockBox{-1};
std::atomic<bool> blockEntered{false};
std::atomic<bool> blockTimedOut{false};
const HANDLE unblock = CreateEventA(nullptr, TRUE, FALSE, nullptr);

void Probe(int box, std::string_view text) noexcept {
  {
    const std::lock_guard lock(taskLog.mutex);
    ++taskLog.calls[box];
    taskLog.last[box] = std::string(text);
  }
  if (box == blockBox.load()) {
    blockEntered = true;
    if (WaitForSingleObject(unblock, 20000) != WAIT_OBJECT_0) blockTimedOut = true;
  }
}

int Calls(int box) {
  const std::lock_guard lock(taskLog.mutex);
  return taskLog.calls[box];
}

std::string Last(int box) {
  const std::lock_guard lock(taskLog.mutex);
  return taskLog.last[box];
}

void ResetTaskLog() {
  const std::lock_guard lock(taskLog.mutex);
  for (int& c : taskLog.calls) c = 0;
  for (std::string& s : taskLog.last) s.clear();
  blockBox = -1;
  blockEntered = false;
  blockTimedOut = false;
  ResetEvent(unblock);
}

// Answers the dialogs of this process from a helper thread: each step waits
// for a dialog of its kind, acts on it and waits until it is gone. Dialogs
// beyond the script are closed and counted.
class Answerer {
 public:
  struct Step {
    Kind kind;
    std::function<void(HWND)> act;
  };

  explicit Answerer(std::vector<Step> steps)
      : steps_(std::move(steps)), thread_([this] { Run(); }) {}
  ~Answerer() { Finish(); }
  Answerer(const Answerer&) = delete;
  Answerer& operator=(const Answerer&) = delete;

  // Stops answering; the number of steps whose dialog came.
  int Finish() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return answered_;
  }
  int Unexpected() const { return unexpected_; }

 private:
  void Run() {
    const DWORD pid = GetCurrentProcessId();
    for (const Step& step : steps_) {
      const HWND dialog = drive::WaitForDialog(pid, step.kind);
      if (!dialog) break;
      step.act(dialog);
      drive::WaitUntilGone(dialog);
      ++answered_;
    }
    while (!stop_) {
      for (const Kind kind : {Kind::kFolderDialog, Kind::kMessageBox}) {
        if (const HWND extra = drive::WaitForDialog(pid, kind, 0)) {
          ++unexpected_;
          drive::Press(extra, kind == Kind::kMessageBox ? IDOK : IDCANCEL);
          drive::WaitUntilGone(extra);
        }
      }
      Sleep(10);
    }
  }

  std::vector<Step> steps_;
  std::atomic<bool> stop_{false};
  std::atomic<int> answered_{0};
  std::atomic<int> unexpected_{0};
  std::thread thread_;
};

// What a test sees of the folder dialog.
struct FolderDialogSeen {
  std::vector<std::string> labels;
  HWND owner = nullptr;
  bool editBox = false;
  bool resizable = false;
  std::size_t buttons = 0;  // OK and Cancel, and Make New Folder in the new style
};

FolderDialogSeen InspectFolderDialog(HWND dialog) {
  FolderDialogSeen seen;
  seen.labels = drive::VisibleTexts(dialog, "Static");
  seen.owner = GetWindow(dialog, GW_OWNER);
  seen.editBox = !drive::VisibleChildren(dialog, "Edit").empty();
  seen.resizable = (GetWindowLongA(dialog, GWL_STYLE) & WS_THICKFRAME) != 0;
  seen.buttons = drive::VisibleChildren(dialog, "Button").size();
  return seen;
}

// Selections that never showed in the tree: a test fails on any.
std::atomic<int> missedSelections{0};

// Selects path (unless empty) and presses OK; then runs after, if given.
// refused, when given, is tried once after path (which shows that the tree
// is ready) and must not be taken.
Answerer::Step Pick(std::string path, FolderDialogSeen* seen = nullptr,
                    std::function<void()> after = {}, std::string refused = {}) {
  return {Kind::kFolderDialog, [path = std::move(path), seen, after = std::move(after),
                                refused = std::move(refused)](HWND d) {
            if (seen) *seen = InspectFolderDialog(d);
            if (!path.empty() && !drive::SelectInFolderDialog(d, path)) ++missedSelections;
            if (!refused.empty() && drive::TrySelectInFolderDialog(d, refused)) ++missedSelections;
            drive::Press(d, IDOK);
            if (after) after();
          }};
}

Answerer::Step CancelDialog() {
  return {Kind::kFolderDialog, [](HWND d) { drive::Press(d, IDCANCEL); }};
}

// Records the confirmation and what the window showed meanwhile, then OK.
struct Confirmation {
  drive::MessageBoxSeen box;
  bool mainEnabled = true;
  std::string currentPathShown;
  int refreshesSoFar = -1;
};

Answerer::Step Confirm(Confirmation* seen, HWND main, HWND currentPathBox) {
  return {Kind::kMessageBox, [seen, main, currentPathBox](HWND d) {
            seen->box = drive::Inspect(d);
            seen->mainEnabled = IsWindowEnabled(main) != FALSE;
            seen->currentPathShown = drive::TextOf(currentPathBox);
            seen->refreshesSoFar = Calls(0);
            drive::Press(d, IDOK);
          }};
}

// MainWindow with a store of its own, as the program has them, over the
// client's registry entry and Data\Config.ini beside this test program.
class Slots : public testing::Test {
 protected:
  void SetUp() override {
    gui::Initialize();
    ResetTaskLog();
    app::SetTaskProbe(Probe);
    DeleteFileA(IniPath().c_str());
    app::CreateStore();
  }
  void TearDown() override {
    EXPECT_EQ(missedSelections.exchange(0), 0) << "a folder never showed in the dialog";
    SetEvent(unblock);
    Close();
    app::ReleaseAtExit();
    app::SetTaskProbe(nullptr);
    DeleteFileA(IniPath().c_str());
  }

  // Loads MainWindow and waits until both of its tasks have filled their
  // boxes.
  void Start() {
    const int refreshes = Calls(0);
    const int loads = Calls(3);
    main_ = gui::Load(app::MainWindow);
    ASSERT_TRUE(main_);
    ASSERT_TRUE(WaitForTask(0, refreshes + 1));
    // The slot task fills 1, 2, 3 in turn, each once the GUI thread has
    // taken the text: box 3 shown means all three are.
    ASSERT_TRUE(WaitForTask(3, loads + 1));
  }
  // As the next start of the program: a new store and a new window.
  void Restart() {
    Close();
    app::ReleaseAtExit();
    app::CreateStore();
    Start();
  }
  void Close() {
    if (gui::IsLoaded(main_)) DestroyWindow(Hwnd(main_));
    gui::ProcessWaitingMessages();
  }

  // Until the task has called the probe for box that often and the box
  // shows what it was handed.
  bool WaitForTask(int box, int calls) {
    return PumpUntil([&] { return Calls(box) >= calls && Text(BoxName(box)) == Last(box); });
  }
  static std::string_view BoxName(int box) {
    return box == 0 ? app::kCurrentPathBox : Row(box).box;
  }

  HWND Control(std::string_view name) { return Hwnd(gui::FindControl(main_, name)); }
  std::string Text(std::string_view name) {
    return gui::ControlText(gui::FindControl(main_, name));
  }
  // As typing leaves it.
  void Type(std::string_view box, const std::string& text) {
    SetWindowTextA(Control(box), text.c_str());
  }
  // Returns once the click's handler has returned.
  void Click(std::string_view button) { SendMessageA(Control(button), BM_CLICK, 0, 0); }

  // Use on the slot, the confirmation answered; what it looked like.
  Confirmation Use(int slot) {
    Confirmation seen;
    Answerer answerer({Confirm(&seen, Hwnd(main_), Control(app::kCurrentPathBox))});
    Click(Row(slot).use);
    EXPECT_EQ(answerer.Finish(), 1) << "no confirmation";
    EXPECT_EQ(answerer.Unexpected(), 0);
    return seen;
  }
  // Browse on the slot, path picked in the dialog.
  void Browse(int slot, const std::string& path) {
    Answerer answerer({Pick(path)});
    Click(Row(slot).browse);
    EXPECT_EQ(answerer.Finish(), 1) << "no folder dialog";
    EXPECT_EQ(answerer.Unexpected(), 0);
  }

  client_key::Guard registry_;
  gui::Window main_;
};

TEST_F(Slots, UseWritesTheBoxTextAsItIsConfirmsThenShowsTheNewValue) {
  const struct {
    int slot;
    std::string text;
  } cases[] = {
      {1, ""},
      {2, "  D:\\微信\\版本二  "},
      {3, "\xA1\xA1Z:\\不存在的目录\\WeChat\xA1\xA1"},
      {1, "这不是目录"},
  };
  ASSERT_TRUE(client_key::Set(REG_SZ, "C:\\之前"));
  Start();
  EXPECT_EQ(Text(app::kCurrentPathBox), "C:\\之前");
  std::string shown = "C:\\之前";
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    const auto& c = cases[i];
    Type(Row(c.slot).box, c.text);
    const int refreshes = Calls(0);
    const Confirmation seen = Use(c.slot);

    EXPECT_EQ(seen.box.caption, "信息：");
    EXPECT_EQ(seen.box.texts, std::vector<std::string>{"切换成功"});
    EXPECT_EQ(seen.box.buttons.size(), 1u);
    EXPECT_TRUE(seen.box.okButton);
    EXPECT_EQ(seen.box.icons, 0);
    EXPECT_EQ(seen.box.owner, nullptr);
    EXPECT_FALSE(seen.mainEnabled) << "task-modal";
    // 编辑框4 changes only once the confirmation is closed.
    EXPECT_EQ(seen.refreshesSoFar, refreshes);
    EXPECT_EQ(seen.currentPathShown, shown);

    const client_key::Stored stored = client_key::Read();
    EXPECT_TRUE(stored.found);
    EXPECT_EQ(stored.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored.data, client_key::StoredForm(c.text));
    EXPECT_TRUE(WaitForTask(0, refreshes + 1));
    EXPECT_EQ(Text(app::kCurrentPathBox), c.text);
    EXPECT_EQ(Text(Row(c.slot).box), c.text);
    shown = c.text;
  }
}

TEST_F(Slots, UseBeforeTheBoxesAreFilledWritesTheTextOfTheForm) {
  blockBox = 1;  // the slot task has read slot 1 and waits to fill its box
  main_ = gui::Load(app::MainWindow);
  ASSERT_TRUE(main_);
  ASSERT_TRUE(PumpUntil([] { return blockEntered.load(); }));
  for (const auto& [slot, form] : {std::pair{1, kFormText1}, std::pair{3, kFormText23}}) {
    SCOPED_TRACE("slot " + std::to_string(slot));
    EXPECT_EQ(Text(Row(slot).box), form);
    Use(slot);
    EXPECT_EQ(client_key::Read().data, client_key::StoredForm(form));
  }
  SetEvent(unblock);
  // Nothing is remembered yet: the boxes lose the texts of the form.
  for (int box = 1; box <= 3; ++box) {
    EXPECT_TRUE(WaitForTask(box, 1));
    EXPECT_EQ(Text(Row(box).box), "");
  }
  EXPECT_FALSE(blockTimedOut.load());
}

TEST_F(Slots, UseCreatesTheMissingKeyAndReplacesAnExpandableValueByPlainText) {
  SetEnvironmentVariableA("KORVALIN_CLIENTS", "E:\\客户端");
  const struct {
    const char* name;
    DWORD type;  // REG_NONE: no key at all
    std::string before;
    std::string shown;
  } cases[] = {
      {"key missing", REG_NONE, "", ""},
      {"expandable", REG_EXPAND_SZ, "%KORVALIN_CLIENTS%\\WeChat", "E:\\客户端\\WeChat"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    client_key::DeleteTencent();
    if (c.type != REG_NONE) {
      ASSERT_TRUE(client_key::Set(c.type, c.before));
    }
    Close();
    Start();
    EXPECT_EQ(Text(app::kCurrentPathBox), c.shown);
    const std::string folder = "F:\\微信\\3.9";
    Type(Row(2).box, folder);
    const int refreshes = Calls(0);
    Use(2);
    const client_key::Stored stored = client_key::Read();
    EXPECT_EQ(stored.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored.data, client_key::StoredForm(folder));
    EXPECT_TRUE(WaitForTask(0, refreshes + 1));
    EXPECT_EQ(Text(app::kCurrentPathBox), folder);
  }
  SetEnvironmentVariableA("KORVALIN_CLIENTS", nullptr);
}

TEST_F(Slots, ARefusedWriteShowsNoMessageAndRefreshesNothing) {
  ASSERT_TRUE(client_key::MakeWriteFail());
  Start();
  Type(Row(1).box, "D:\\WeChat");
  Type(app::kCurrentPathBox, "原样");
  const int refreshes = Calls(0);
  Answerer answerer({});
  Click(Row(1).use);
  // A refresh would have started as the handler returned: give it time.
  for (int i = 0; i < 50; ++i) {
    gui::ProcessWaitingMessages();
    Sleep(10);
  }
  EXPECT_EQ(answerer.Finish(), 0);
  EXPECT_EQ(answerer.Unexpected(), 0) << "a message was shown";
  EXPECT_FALSE(client_key::KeyExists(client_key::kKey));
  EXPECT_EQ(Calls(0), refreshes);
  EXPECT_EQ(Text(app::kCurrentPathBox), "原样");
  EXPECT_EQ(Text(Row(1).box), "D:\\WeChat");
}

TEST_F(Slots, BrowsePicksShowsAndRemembersTheFolderForTheNextStart) {
  const std::string folder = MakeFolder("微信 8.0 版本二");
  Start();
  FolderDialogSeen seen;
  {
    Answerer answerer({Pick(folder, &seen)});
    Click(Row(2).browse);
    ASSERT_EQ(answerer.Finish(), 1);
  }
  // Titled for the buttons; no owner, no edit box, the new style.
  EXPECT_EQ(seen.labels, std::vector<std::string>{"选择微信目录"});
  EXPECT_EQ(seen.owner, nullptr);
  EXPECT_FALSE(seen.editBox);
  EXPECT_TRUE(seen.resizable);
  EXPECT_EQ(seen.buttons, 3u);
  EXPECT_EQ(app::BrowseInitialFolder(), "");

  EXPECT_EQ(Text(Row(2).box), folder);
  EXPECT_EQ(app::PickedFolder(), folder);
  EXPECT_EQ(IniBytes(), "[版本配置]\r\n版本二=" + StoredFolder(folder) + "\r\n");

  Restart();
  EXPECT_EQ(Text(Row(1).box), "");
  EXPECT_EQ(Text(Row(2).box), folder);
  EXPECT_EQ(Text(Row(3).box), "");
}

TEST_F(Slots, BrowseCancelledOrOnAVirtualFolderChangesNothing) {
  const std::string kept = MakeFolder("已记住");
  const std::string other = MakeFolder("另一个");
  RememberDirectly({{1, kept}});
  const std::string bytes = IniBytes();
  Start();
  ASSERT_EQ(Text(Row(1).box), kept);
  const struct {
    const char* name;
    Answerer::Step step;
  } cases[] = {
      {"cancel", CancelDialog()},
      // The tree starts on My Computer, which has no file-system path.
      {"virtual folder", Pick("")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Type(Row(3).box, "");
    Browse(3, other);
    ASSERT_EQ(app::PickedFolder(), other);
    const std::string withOther = IniBytes();

    Answerer answerer({c.step});
    Click(Row(1).browse);
    EXPECT_EQ(answerer.Finish(), 1);
    EXPECT_EQ(app::PickedFolder(), "");
    EXPECT_EQ(Text(Row(1).box), kept);
    EXPECT_EQ(IniBytes(), withOther);
  }
  EXPECT_NE(bytes, IniBytes());
}

TEST_F(Slots, TheSameFolderPickedForTwoSlotsIsStoredUnderBoth) {
  const std::string folder = MakeFolder("同一个");
  Start();
  Browse(1, folder);
  Browse(3, folder);
  EXPECT_EQ(IniBytes(), "[版本配置]\r\n版本一=" + StoredFolder(folder) +
                            "\r\n版本三=" + StoredFolder(folder) + "\r\n");
  EXPECT_EQ(Text(Row(1).box), folder);
  EXPECT_EQ(Text(Row(3).box), folder);
}

TEST_F(Slots, ATypedFolderIsUsedButNotRemembered) {
  const std::string remembered = MakeFolder("记住的");
  RememberDirectly({{3, remembered}});
  const std::string bytes = IniBytes();
  Start();
  const std::string typed = "D:\\手输的目录";
  Type(Row(3).box, typed);
  Use(3);
  EXPECT_EQ(client_key::Read().data, client_key::StoredForm(typed));
  Restart();
  EXPECT_EQ(Text(Row(3).box), remembered);
  EXPECT_EQ(IniBytes(), bytes);
}

TEST_F(Slots, WithNothingUnderTheKeyTheBoxesEndEmpty) {
  const std::string folder = MakeFolder("别的钥匙");
  const struct {
    const char* name;
    bool file;
  } cases[] = {{"no file", false}, {"written under another key", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteFileA(IniPath().c_str());
    if (c.file) RememberDirectly({{1, folder}, {2, folder}, {3, folder}}, "another");
    Restart();
    for (int slot = 1; slot <= 3; ++slot) EXPECT_EQ(Text(Row(slot).box), "") << slot;
    // Reading creates no file.
    EXPECT_EQ(GetFileAttributesA(IniPath().c_str()) != INVALID_FILE_ATTRIBUTES, c.file);
  }
}

// The cipher lets the GUI thread's messages through while a save enciphers:
// a click posted as the dialog closes runs inside the save of the folder
// just picked.
TEST_F(Slots, ClicksDuringASaveNeitherCorruptItNorAreLost) {
  const std::string a = MakeFolder("先选的");
  const std::string b = MakeFolder("后选的");
  enum class Second { kBrowseSameSlot, kBrowseOtherSlot, kUse };
  const struct {
    const char* name;
    Second second;
    std::string box2, box3;
    std::string file;
  } cases[] = {
      {"browse the same slot", Second::kBrowseSameSlot, b, "",
       "[版本配置]\r\n版本二=" + StoredFolder(b) + "\r\n"},
      {"browse another slot", Second::kBrowseOtherSlot, a, b,
       "[版本配置]\r\n版本二=" + StoredFolder(a) + "\r\n版本三=" + StoredFolder(b) + "\r\n"},
      {"use the same slot", Second::kUse, a, "",
       "[版本配置]\r\n版本二=" + StoredFolder(a) + "\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteFileA(IniPath().c_str());
    Restart();
    const HWND secondButton = Control(c.second == Second::kBrowseSameSlot    ? Row(2).browse
                                      : c.second == Second::kBrowseOtherSlot ? Row(3).browse
                                                                             : Row(2).use);
    // When the second click's dialog shows: what the box and the file held.
    std::string boxAtSecond, fileAtSecond;
    const HWND box2 = Control(Row(2).box);
    auto record = [&] {
      boxAtSecond = drive::TextOf(box2);
      fileAtSecond = IniBytes();
    };
    Confirmation confirmation;
    Answerer::Step second =
        c.second == Second::kUse
            ? Answerer::Step{Kind::kMessageBox,
                             [&, confirm = Confirm(&confirmation, Hwnd(main_),
                                                   Control(app::kCurrentPathBox))](HWND d) {
                               record();
                               confirm.act(d);
                             }}
            : Answerer::Step{Kind::kFolderDialog, [&, pick = Pick(b)](HWND d) {
                               record();
                               pick.act(d);
                             }};
    Answerer answerer(
        {Pick(a, nullptr, [secondButton] { PostMessageA(secondButton, BM_CLICK, 0, 0); }),
         std::move(second)});
    Click(Row(2).browse);
    ASSERT_EQ(answerer.Finish(), 2);
    EXPECT_EQ(answerer.Unexpected(), 0);
    // The first handler had shown its folder and not yet written it.
    EXPECT_EQ(boxAtSecond, a);
    EXPECT_EQ(fileAtSecond.find("版本二"), std::string::npos);

    EXPECT_EQ(Text(Row(2).box), c.box2);
    EXPECT_EQ(Text(Row(3).box), c.box3);
    EXPECT_EQ(IniBytes(), c.file);
    if (c.second == Second::kUse) {
      EXPECT_EQ(client_key::Read().data, client_key::StoredForm(a));
    }
    Restart();
    EXPECT_EQ(Text(Row(2).box), c.box2);
  }
}

// The folder picker's options, each seen in the real dialog.
class Picker : public testing::Test {
 protected:
  void SetUp() override { gui::Initialize(); }
  void TearDown() override {
    EXPECT_EQ(missedSelections.exchange(0), 0) << "a folder never showed in the dialog";
  }
};

TEST_F(Picker, OptionsShapeTheDialogAndTheResultIsTheChosenPath) {
  const std::string folder = MakeFolder("选择器");
  const std::string file = folder + "\\文件.txt";
  std::ofstream(file) << "x";
  const std::string fullWidthEnd = MakeFolder("尾随全角空格\xA1\xA1");
  const HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 0, 0, 50, 50, nullptr,
                                     nullptr, nullptr, nullptr);
  const std::string initial = "C:\\windows";
  const struct {
    const char* name;
    std::function<std::string()> call;
    std::string select;   // empty: OK without selecting
    std::string refused;  // tried after select, must not be taken
    std::string label;
    bool editBox;
    bool newStyle;
    HWND owner;
    std::string initialFolder;
    std::string result;
  } cases[] = {
      {"nothing given", [] { return app::BrowseForFolder(); }, "", "", "请选择一个文件夹", false,
       true, nullptr, "", ""},
      {"old style", [] { return app::BrowseForFolder("旧式", false, {}, false, false); }, folder,
       "", "旧式", false, false, nullptr, "", folder},
      {"edit box", [] { return app::BrowseForFolder("编辑框", false, {}, true); }, folder, "",
       "编辑框", true, true, nullptr, "", folder},
      {"files listed", [] { return app::BrowseForFolder("文件", true); }, file, "", "文件", false,
       true, nullptr, "", file},
      {"folders only", [] { return app::BrowseForFolder("文件"); }, folder, file, "文件", false,
       true, nullptr, "", folder},
      {"initial folder", [&] { return app::BrowseForFolder("起始", false, initial); }, "", "",
       "起始", false, true, nullptr, initial, initial},
      {"owner", [&] { return app::BrowseForFolder("所有者", false, {}, false, true, owner); },
       folder, "", "所有者", false, true, owner, "", folder},
      // Spaces around the path go, full-width ones too, even as part of a
      // name.
      {"full-width space at the end", [] { return app::BrowseForFolder("空格"); }, fullWidthEnd, "",
       "空格", false, true, nullptr, "", fullWidthEnd.substr(0, fullWidthEnd.size() - 2)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FolderDialogSeen seen;
    Answerer answerer({Pick(c.select, &seen, {}, c.refused)});
    const std::string result = c.call();
    ASSERT_EQ(answerer.Finish(), 1);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(seen.labels.empty() ? "" : seen.labels.front(), c.label);
    EXPECT_EQ(seen.editBox, c.editBox);
    EXPECT_EQ(seen.resizable, c.newStyle);
    EXPECT_EQ(seen.buttons, c.newStyle ? 3u : 2u);
    EXPECT_EQ(seen.owner, c.owner);
    // Replaced at every call: back to empty after the call that gave one.
    EXPECT_EQ(app::BrowseInitialFolder(), c.initialFolder);
  }
  DestroyWindow(owner);
}

// The whole program in this process, closed while its slot task is held
// after reading slot 1: the program must end without waiting for the task,
// and the task, let go afterwards, must still read the remembered folders
// from the store that ReleaseAtExit let go of.
TEST(Shutdown, ClosingWhileATaskIsBusyNeitherWaitsForItNorFreesItsStore) {
  client_key::Guard registry;
  const std::string folders[] = {MakeFolder("一"), MakeFolder("二"), MakeFolder("三")};
  DeleteFileA(IniPath().c_str());
  RememberDirectly({{1, folders[0]}, {2, folders[1]}, {3, folders[2]}});
  ResetTaskLog();
  blockBox = 1;
  app::SetTaskProbe(Probe);

  std::atomic<bool> closed{false};
  std::thread closer([&] {
    for (int i = 0; i < 1000; ++i) {
      const HWND w = FindWindowA("KorvalinForm", "【Dessaro】Korvalin-Ovr");
      if (w && IsWindowVisible(w) && blockEntered) {
        PostMessageA(w, WM_CLOSE, 0, 0);
        closed = true;
        return;
      }
      Sleep(10);
    }
  });
  const int code = app::RunProgram();
  closer.join();
  EXPECT_TRUE(closed.load());
  EXPECT_EQ(code, 0);
  EXPECT_FALSE(blockTimedOut.load()) << "the program waited for its task";
  EXPECT_EQ(app::Store(), nullptr);
  EXPECT_EQ(app::PickedFolder(), "");
  EXPECT_EQ(app::BrowseInitialFolder(), "");
  EXPECT_EQ(Calls(2), 0);

  SetEvent(unblock);
  for (int i = 0; i < 1000 && Calls(3) == 0; ++i) Sleep(10);
  EXPECT_EQ(Last(1), folders[0]);
  EXPECT_EQ(Last(2), folders[1]);
  EXPECT_EQ(Last(3), folders[2]);
  app::SetTaskProbe(nullptr);
  DeleteFileA(IniPath().c_str());
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  platform::gui::Initialize();
  return RUN_ALL_TESTS();
}
