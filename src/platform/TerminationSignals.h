#pragma once
// SIGINT and SIGTERM ask the game to end as its exit command does once confirmed. The handler
// only records the request (async-signal-safe) and wakes the window thread's rest through a
// watcher thread; the main thread's loop takes it, and does not rest again while it ends. A
// second signal of the same kind, once the first is recorded, ends the process the system's way,
// so a game that cannot reach its loop can still be stopped.

namespace platform {

// Installs the handlers and starts the watcher; call once, on the main thread, before other
// threads start.
void InstallTerminationHandlers();

// Answers true once after a handled signal arrived: the caller ends the game.
bool TakeTerminationRequest();

// Whether a handled signal arrived, taken or not.
bool IsTerminationRequested();

} // namespace platform
