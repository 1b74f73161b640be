#include "tests/support/file_holder.h"

namespace qzsdk::test {

file_holder::file_holder(const path& file, DWORD hold_ms)
    : thread_([this, file, hold_ms] {
          HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
          held_ = handle != INVALID_HANDLE_VALUE;
          SetEvent(ready_);
          WaitForSingleObject(release_, hold_ms);
          if (held_)
              CloseHandle(handle);
      })
{
}

file_holder::~file_holder()
{
    SetEvent(release_);
    thread_.join();
    CloseHandle(ready_);
    CloseHandle(release_);
}

}  // namespace qzsdk::test
