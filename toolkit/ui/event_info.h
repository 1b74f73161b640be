#pragma once
#include <cstdint>

namespace qzsdk::ui {

class event_object;

// What every handler receives.
struct event_info {
    event_object* sender = nullptr;
    uint32_t id = 0;
    uint32_t phase = 2;  // 0 only before a two-step value change
    uint32_t flag = 1;
    uint64_t param = 0;
};

}  // namespace qzsdk::ui
