// Background tasks.
#pragma once

#include <functional>

namespace platform {

// Runs routine on a new thread (CreateThread with default settings) and
// closes the thread's handle at once: nothing waits for the task or learns
// when it ends. The routine, with whatever it captured, belongs to the new
// thread and is destroyed there once it has returned; a task can thus hold
// its share of what it reads for as long as it runs. False when the thread
// could not be created (the routine is then destroyed at once).
bool StartBackgroundTask(std::function<void()> routine) noexcept;

}  // namespace platform
