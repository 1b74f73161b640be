#pragma once
#include <windows.h>

#include <functional>

namespace standin {

// Runs `work` on the calling thread while a watchdog thread waits: when the work has not finished within
// `timeout_ms`, `on_hang` runs on the watchdog thread (a hung FreeLibrary holds the loader lock, so it
// usually reports and ends the process). True when the work succeeded in time.
bool run_watched(const std::function<bool()>& work, DWORD timeout_ms, const std::function<void()>& on_hang);

}  // namespace standin
