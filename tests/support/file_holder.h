#pragma once
// Another program holding a file open without delete sharing, as a virus scanner, a backup or an indexer does
// for a moment after a file is written: from a thread of its own, for a given time or until destroyed.
#include "toolkit/platform/path.h"

#include <windows.h>

#include <atomic>
#include <thread>

namespace qzsdk::test {

class file_holder {
public:
    // Returns once the file is held (or could not be opened); hold_ms counts from then.
    explicit file_holder(const path& file, DWORD hold_ms = INFINITE);
    ~file_holder();
    file_holder(const file_holder&) = delete;
    file_holder& operator=(const file_holder&) = delete;

    bool held() const { return answered_ && held_; }

private:
    HANDLE ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> held_ = false;
    std::thread thread_;
    // Bounded: a holder that never answers reads as not holding, which the caller asserts on.
    bool answered_ = WaitForSingleObject(ready_, 10000) == WAIT_OBJECT_0;
};

}  // namespace qzsdk::test
