#pragma once
// The threads this test program started through the C runtime (std::thread: the toolkit's pool, the gallery's
// loaders, the cases' own) that are still alive, as opposed to Wine's and the system's own. gtest's watcher
// of the main thread, started directly, ends only with that thread and is not among them.
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace qzsdk::test {

// A case that leaves threads parked on purpose (a pool destroyed with live workers, a module unloaded without
// its death hook, neither of which may wake them) says how many, so the program's end does not count them.
void leave_running(size_t count);

// Waits until no more threads are alive than were left on purpose, or `timeout_ms` has passed (a thread
// that was told to stop takes a moment to go); the ones alive then, empty when the program is done with them. One line per thread, naming its id.
std::vector<std::string> threads_left_at_end(DWORD timeout_ms);

}  // namespace qzsdk::test
