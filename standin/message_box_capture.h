#pragma once
// Records every message box shown on the installing thread and closes it with OK, so the code that
// showed it goes on: a CBT hook sees the box ("#32770" with its text in the static control 0xFFFF) as it
// is activated.
#include "standin/bookkeeping.h"

#include <windows.h>

namespace standin {

class MessageBoxCapture {
public:
    explicit MessageBoxCapture(std::vector<MessageBoxRecord>& records);
    ~MessageBoxCapture();
    MessageBoxCapture(const MessageBoxCapture&) = delete;
    MessageBoxCapture& operator=(const MessageBoxCapture&) = delete;

private:
    static LRESULT CALLBACK hook_procedure(int code, WPARAM wparam, LPARAM lparam);

    std::vector<MessageBoxRecord>& records_;
    HHOOK hook_;
};

}  // namespace standin
