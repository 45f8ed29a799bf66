#include "app/folder_picker.h"

#include <cstdint>

#include "platform/folder_dialog.h"
#include "text/gbk_text.h"

namespace app {
namespace {

// GUI thread only.
std::string browseInitialFolder;

// The shell writes at most MAX_PATH bytes; the rest stays spaces and goes
// with the trimming.
constexpr std::size_t kResultBufferSize = 512;

}  // namespace

std::string BrowseForFolder(std::string_view title, bool includeFiles,
                            std::string_view initialFolder, bool showEditBox, bool newStyle,
                            void* ownerWindow) {
  const std::string titleText(title);
  platform::FolderDialogRecord record;
  record.owner = ownerWindow;
  record.title = titleText.c_str();
  record.callback = BrowseCallback;
  if (showEditBox) record.flags |= platform::kBifEditBox;
  if (newStyle) record.flags |= platform::kBifNewDialogStyle;
  if (includeFiles) record.flags |= platform::kBifBrowseIncludeFiles;

  std::string buffer(kResultBufferSize, ' ');
  browseInitialFolder = std::string(initialFolder);
  platform::RunFolderDialog(record, buffer);
  // The text ends at the zero the shell wrote; untouched, all spaces.
  if (const std::size_t zero = buffer.find('\0'); zero != std::string::npos) buffer.resize(zero);
  return text::Trim(buffer);
}

int BrowseCallback(void* dialog, unsigned message, std::intptr_t, std::intptr_t) noexcept {
  if (message != platform::kBffmInitialized) return 0;
  // A copy: the dialog works on the text while it selects, and a nested
  // BrowseForFolder may replace the shared one meanwhile.
  const std::string folder = browseInitialFolder;
  platform::SendWindowMessage(dialog, platform::kBffmSetSelectionA, 1,
                              reinterpret_cast<std::intptr_t>(folder.c_str()));
  return 0;
}

const std::string& BrowseInitialFolder() noexcept { return browseInitialFolder; }

void ReleaseBrowseInitialFolder() noexcept { std::string().swap(browseInitialFolder); }

}  // namespace app
