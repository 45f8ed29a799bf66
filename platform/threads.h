// Background tasks.
#pragma once

namespace platform {

// Runs routine on a new thread (CreateThread with default settings) and
// closes the thread's handle at once: nothing waits for the task or learns
// when it ends. False when the thread could not be created.
bool StartBackgroundTask(void (*routine)()) noexcept;

}  // namespace platform
