#include "registry/install_path_entry.h"

#include <new>

#include "platform/registry.h"
#include "text/gbk_text.h"

namespace registry {

using platform::RegistryRoot;

InstallPathEntry::InstallPathEntry(std::string_view entry) {
  const std::size_t split = text::LastBackslash(entry);
  if (split == text::npos) {
    value_name_ = entry;
  } else {
    key_path_ = entry.substr(0, split);
    value_name_ = entry.substr(split + 1);
  }
}

bool InstallPathEntry::WriteInstallPath(std::string_view path) const noexcept {
  try {
    platform::RegistryKey key =
        platform::OpenRegistryKey(RegistryRoot::CurrentUser, key_path_, platform::RegistryAccess::Write);
    if (!key.IsOpen()) key = platform::CreateRegistryKey(RegistryRoot::CurrentUser, key_path_);
    if (!key.IsOpen()) return false;
    // The registry stores the terminating zero with the text: length + 1
    // bytes, so an empty path is a single zero byte.
    const std::string data(path);
    return platform::SetRegistryValue(key, value_name_, platform::kRegSz, data.c_str(),
                                      data.size() + 1);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

std::string InstallPathEntry::ReadInstallPath() const noexcept {
  try {
    const platform::RegistryKey key =
        platform::OpenRegistryKey(RegistryRoot::CurrentUser, key_path_, platform::RegistryAccess::Read);
    unsigned long type = 0;
    unsigned long size = 0;
    if (!platform::QueryRegistryValueInfo(key, value_name_, &type, &size)) return {};
    if ((type != platform::kRegSz && type != platform::kRegExpandSz) || size == 0) return {};
    // Another program may rewrite the value between the two queries: a value
    // that grew fails the read (the empty text), one that shrank comes back
    // cut to its new size, and the type is taken from the read itself.
    std::string data(size, '\0');
    if (!platform::QueryRegistryValue(key, value_name_, &type, &data)) return {};
    // Text data need not end in a zero byte; take all of it then.
    if (const std::size_t zero = data.find('\0'); zero != std::string::npos) data.resize(zero);
    if (type == platform::kRegSz) return data;
    if (type == platform::kRegExpandSz) return platform::ExpandEnvironmentText(data);
    return {};
  } catch (const std::bad_alloc&) {
    return {};
  }
}

}  // namespace registry
