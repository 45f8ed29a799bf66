#include "cli/commands.h"

#include <optional>

#include "cli/client.h"
#include "cli/json.h"
#include "config/config_store.h"
#include "config/version_slots.h"
#include "platform/console.h"
#include "platform/files.h"
#include "registry/install_path_entry.h"
#include "text/gbk_text.h"

#ifndef KORVALIN_VERSION
#define KORVALIN_VERSION "0.0.0.0"
#endif

namespace cli {
namespace {

constexpr std::string_view kProgram = "korvalin-cli";

void Out(std::string_view line) {
  platform::WriteStandardStream(platform::StandardStream::Output, std::string(line) + "\r\n");
}

// The one line a failure writes, and its code.
int Fail(int code, std::string_view what) {
  platform::WriteStandardStream(platform::StandardStream::Error,
                                std::string(kProgram) + ": " + std::string(what) + "\r\n");
  return code;
}

int UsageError(std::string_view what) {
  return Fail(kUsageError, std::string(what) + "（用法见 korvalin-cli --help）");
}

std::string Quoted(std::string_view s) { return "“" + std::string(s) + "”"; }

std::string SlotName(const config::VersionSlot& slot) {
  return "槽 " + text::IntToText(slot.number) + "（" + std::string(slot.label) + "）";
}

std::string InstallPathName() { return "HKCU\\" + std::string(registry::kInstallPathEntry); }

void PrintHelp() {
  std::string slots;
  for (const config::VersionSlot& slot : config::kVersionSlots) {
    if (!slots.empty()) slots += "，";
    slots += text::IntToText(slot.number) + " " + std::string(slot.label);
  }
  const std::string lines[] = {
      "korvalin-cli " KORVALIN_VERSION "：切换默认的微信客户端，与 korvalin.exe 共用 " +
          InstallPathName() + " 和 Data\\Config.ini",
      "",
      "用法：",
      "  korvalin-cli [status] [--json]        当前版本路径和三个槽的目录、版本，* 标出在用的槽",
      "  korvalin-cli current                  只输出当前版本路径",
      "  korvalin-cli use <1|2|3> [--force]    切换到槽中记住的目录",
      "  korvalin-cli use <目录> [--force]     切换到该目录",
      "  korvalin-cli set <1|2|3> <目录> [--force]   在槽中记住该目录",
      "  korvalin-cli check --expect <版本>    当前客户端是否为该版本（3.9 匹配 3.9.5.81）",
      "  korvalin-cli --help | --version",
      "",
      "槽：" + slots + "。use 拒绝空槽；目录中没有 WeChat.exe 时，use 要加 --force 才切换；",
      "目录不存在时，set 要加 --force 才记住。",
      "",
      "退出码：0 成功，1 内部错误，2 用法错误，3 槽为空，4 目录或客户端不存在，",
      "5 写注册表失败，6 写配置文件失败，7 版本不符",
  };
  for (const std::string& line : lines) Out(line);
}

// An operand of digits alone names a slot, never a folder (a folder called
// 4 is .\4).
bool IsNumber(std::string_view s) {
  if (s.empty()) return false;
  for (const char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The slot's row, or nullptr for anything but 1, 2 or 3.
const config::VersionSlot* SlotOperand(std::string_view s) {
  return s.size() == 1 ? config::FindVersionSlot(s[0] - '0') : nullptr;
}

// A folder from the command line, made absolute: InstallPath must name the
// same folder for every program that reads it, whatever its own current
// directory. Nothing, and *code set, when a usage error was reported.
std::optional<std::string> FolderOperand(std::string_view operand, int* code) {
  if (text::IsBlank(operand)) {
    *code = UsageError("目录不能为空");
    return std::nullopt;
  }
  if (operand.find('"') != std::string_view::npos) {
    // A backslash before a closing quote escapes it ("D:\WeChat\" arrives
    // as D:\WeChat"), and a quote cannot be part of a Windows path.
    *code = UsageError("目录 " + Quoted(operand) +
                       " 含有引号：带引号的目录不要以反斜杠结尾，如 \"D:\\WeChat\"");
    return std::nullopt;
  }
  std::string full = platform::FullPathName(operand);
  if (full.empty()) {
    *code = UsageError("无效的目录 " + Quoted(operand));
    return std::nullopt;
  }
  return full;
}

int Status(bool json) {
  const std::string current = registry::InstallPathEntry().ReadInstallPath();
  config::ConfigStore store;
  config::OpenSlotStore(store);

  struct Row {
    const config::VersionSlot* slot;
    std::string folder;
    ClientInfo client;
    bool active;
  };
  std::vector<Row> rows;
  const config::VersionSlot* firstActive = nullptr;
  for (const config::VersionSlot& slot : config::kVersionSlots) {
    Row row{&slot, config::ReadSlotPath(store, slot.number), {}, false};
    row.client = InspectClient(row.folder);
    row.active = SameFolder(row.folder, current);
    if (row.active && !firstActive) firstActive = &slot;
    rows.push_back(std::move(row));
  }

  if (json) {
    Out("{");
    Out("  \"installPath\": " + JsonString(current) + ",");
    Out("  \"activeSlot\": " + (firstActive ? text::IntToText(firstActive->number) : "null") + ",");
    Out("  \"slots\": [");
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const Row& row = rows[i];
      const std::string version =
          row.client.versionKnown ? JsonString(VersionText(row.client.version)) : "null";
      Out("    {\"slot\": " + text::IntToText(row.slot->number) +
          ", \"label\": " + JsonString(row.slot->label) +
          ", \"folder\": " + JsonString(row.folder) +
          ", \"client\": " + (row.client.found ? "true" : "false") +
          ", \"version\": " + version +
          ", \"active\": " + (row.active ? "true" : "false") + "}" +
          (i + 1 < rows.size() ? "," : ""));
    }
    Out("  ]");
    Out("}");
    return kSuccess;
  }

  Out("当前版本路径：" + (current.empty() ? std::string("（未设置）") : current));
  for (const Row& row : rows) {
    std::string line = std::string(row.active ? "* " : "  ") + text::IntToText(row.slot->number) +
                       " " + std::string(row.slot->label) + "  ";
    if (row.folder.empty()) {
      line += "（未设置）";
    } else if (!row.client.found) {
      line += row.folder + "  [没有 WeChat.exe]";
    } else if (!row.client.versionKnown) {
      line += row.folder + "  [WeChat.exe 没有版本信息]";
    } else {
      line += row.folder + "  [微信 " + VersionText(row.client.version) + "]";
    }
    Out(line);
  }
  if (!current.empty() && !firstActive) Out("（当前版本路径不是任何一个槽的目录）");
  return kSuccess;
}

int Current() {
  const std::string current = registry::InstallPathEntry().ReadInstallPath();
  if (current.empty()) return Fail(kFolderOrClientMissing, InstallPathName() + " 为空或不存在");
  Out(current);
  return kSuccess;
}

int Use(std::string_view operand, bool force) {
  std::string folder;
  if (IsNumber(operand)) {
    const config::VersionSlot* slot = SlotOperand(operand);
    if (!slot) return UsageError("没有槽 " + std::string(operand) + "，槽号是 1、2 或 3");
    config::ConfigStore store;
    config::OpenSlotStore(store);
    // Written as the window's Use button writes it: unchanged.
    folder = config::ReadSlotPath(store, slot->number);
    if (folder.empty()) return Fail(kEmptySlot, SlotName(*slot) + " 没有记住的目录");
  } else {
    int code = kSuccess;
    std::optional<std::string> full = FolderOperand(operand, &code);
    if (!full) return code;
    folder = std::move(*full);
  }

  const ClientInfo client = InspectClient(folder);
  if (!force && !client.found) {
    if (!config::IsFolder(folder)) return Fail(kFolderOrClientMissing, "目录不存在：" + folder);
    return Fail(kFolderOrClientMissing,
                "目录中没有 WeChat.exe（确实要切换就加 --force）：" + folder);
  }

  const registry::InstallPathEntry entry;
  if (!entry.WriteInstallPath(folder)) {
    return Fail(kRegistryWriteFailed, "无法写入 " + InstallPathName() + "：" + folder);
  }
  // Another program may change the value at any moment; say so rather than
  // report a switch that did not hold.
  const std::string readBack = entry.ReadInstallPath();
  if (readBack != folder) {
    return Fail(kRegistryWriteFailed,
                InstallPathName() + " 写入后读回的是 " + Quoted(readBack) + "，而不是 " + folder);
  }
  Out("已切换到 " + folder +
      (client.versionKnown ? "（微信 " + VersionText(client.version) + "）" : std::string()));
  return kSuccess;
}

int Set(std::string_view slotOperand, std::string_view folderOperand, bool force) {
  const config::VersionSlot* slot = SlotOperand(slotOperand);
  if (!slot) return UsageError(Quoted(slotOperand) + " 不是槽号，槽号是 1、2 或 3");
  int code = kSuccess;
  std::optional<std::string> folder = FolderOperand(folderOperand, &code);
  if (!folder) return code;
  if (!force && !config::IsFolder(*folder)) {
    return Fail(kFolderOrClientMissing, "目录不存在（确实要记住就加 --force）：" + *folder);
  }

  config::ConfigStore store;
  config::OpenSlotStore(store);
  if (!config::SaveSlotPath(store, slot->number, *folder)) {
    return Fail(kFileWriteFailed,
                "无法把 " + SlotName(*slot) + " 的目录写入 " + store.FilePath() + "：" + *folder);
  }
  if (config::ReadSlotPath(store, slot->number) != *folder) {
    return Fail(kFileWriteFailed,
                SlotName(*slot) + " 的目录写入 " + store.FilePath() + " 后读回的不是 " + *folder);
  }
  Out(SlotName(*slot) + " 已记住 " + *folder);
  return kSuccess;
}

int Check(std::string_view expected) {
  std::vector<unsigned> parts;
  if (!ParseVersion(expected, &parts)) {
    return UsageError("版本 " + Quoted(expected) +
                      " 无效，应为 1 到 4 个以点分隔的数字，如 3.9.5.81");
  }
  const std::string current = registry::InstallPathEntry().ReadInstallPath();
  if (current.empty()) return Fail(kFolderOrClientMissing, InstallPathName() + " 为空或不存在");
  const ClientInfo client = InspectClient(current);
  if (!client.found) {
    return Fail(kFolderOrClientMissing, "当前版本路径中没有 WeChat.exe：" + current);
  }
  if (!client.versionKnown) {
    return Fail(kVersionMismatch, "读不出 " + ClientPath(current) + " 的版本");
  }
  const std::string found = VersionText(client.version);
  if (!VersionMatches(client.version, parts)) {
    return Fail(kVersionMismatch,
                "当前客户端是 " + found + "，不是 " + std::string(expected) + "：" + current);
  }
  Out("微信 " + found + "：" + current);
  return kSuccess;
}

}  // namespace

int Run(const std::vector<std::string>& args) {
  bool json = false;
  bool force = false;
  bool help = false;
  bool version = false;
  std::optional<std::string> expect;
  std::vector<std::string> words;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--json") {
      json = true;
    } else if (arg == "--force") {
      force = true;
    } else if (arg == "--help" || arg == "-h" || arg == "/?") {
      help = true;
    } else if (arg == "--version") {
      version = true;
    } else if (arg == "--expect") {
      if (i + 1 == args.size()) return UsageError("--expect 后面要有版本");
      expect = args[++i];
    } else if (arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
      return UsageError("未知的选项 " + Quoted(arg));
    } else {
      words.push_back(arg);
    }
  }
  if (help) {
    PrintHelp();
    return kSuccess;
  }
  if (version) {
    Out("korvalin-cli " KORVALIN_VERSION);
    return kSuccess;
  }

  const std::string command = words.empty() ? "status" : words[0];
  const std::size_t operands = words.empty() ? 0 : words.size() - 1;
  // Each option belongs to one command: one given to another is a mistake
  // that a script should hear about, not an option silently ignored.
  if (json && command != "status") return UsageError("--json 只用于 status");
  if (force && command != "use" && command != "set") return UsageError("--force 只用于 use 和 set");
  if (expect && command != "check") return UsageError("--expect 只用于 check");

  if (command == "status") {
    if (operands != 0) return UsageError("status 不带参数");
    return Status(json);
  }
  if (command == "current") {
    if (operands != 0) return UsageError("current 不带参数");
    return Current();
  }
  if (command == "use") {
    if (operands != 1) return UsageError("use 要一个槽号（1、2、3）或一个目录");
    return Use(words[1], force);
  }
  if (command == "set") {
    if (operands != 2) return UsageError("set 要一个槽号和一个目录：set <1|2|3> <目录>");
    return Set(words[1], words[2], force);
  }
  if (command == "check") {
    if (operands != 0 || !expect) return UsageError("check 要 --expect <版本>");
    return Check(*expect);
  }
  return UsageError("未知的命令 " + Quoted(command));
}

}  // namespace cli
