// Message processing shared by every loop of the GUI toolkit.
#pragma once

namespace platform::gui {

// Dispatches every message waiting in the calling thread's queue, until the
// queue is empty or the next message is a quit message, which stays queued.
// On a thread with an empty queue it returns at once.
void ProcessWaitingMessages() noexcept;

}  // namespace platform::gui
