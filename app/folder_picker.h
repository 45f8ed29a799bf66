// The folder picker: the shell's folder-browse dialog, and the full path of
// the folder that the user chose. GUI thread only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace app {

// Shown above the folder tree when the caller gives no title.
inline constexpr std::string_view kDefaultBrowseTitle = "请选择一个文件夹";

// Shows the dialog and yields the chosen folder's full path, or the empty
// text after Cancel or for an item that is no file-system folder (a virtual
// folder of the shell). includeFiles lists files in the tree too,
// initialFolder is selected when the dialog starts, showEditBox adds an edit
// box for a name, newStyle asks for the resizable new-style dialog, and
// ownerWindow (null for none) owns it. Spaces (ASCII and full-width) around
// the path are removed.
std::string BrowseForFolder(std::string_view title = kDefaultBrowseTitle, bool includeFiles = false,
                            std::string_view initialFolder = {}, bool showEditBox = false,
                            bool newStyle = true, void* ownerWindow = nullptr);

// The dialog's callback: on BFFM_INITIALIZED it selects the folder held by
// BrowseInitialFolder(); every other message is left alone.
int BrowseCallback(void* dialog, unsigned message, std::intptr_t value,
                   std::intptr_t data) noexcept;

// The initialFolder of the latest BrowseForFolder call (replaced at each
// call, also while an earlier call's dialog is still open), kept until
// ReleaseBrowseInitialFolder.
const std::string& BrowseInitialFolder() noexcept;
void ReleaseBrowseInitialFolder() noexcept;

}  // namespace app
