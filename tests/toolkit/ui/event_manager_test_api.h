#pragma once
#include "toolkit/ui/event_manager.h"

namespace qzsdk::ui {

class event_manager_test_api {
public:
    static size_t sources() { return event_manager::instance().handlers_.size(); }
    static size_t connections() { return event_manager::instance().connections_.size(); }
    static size_t listeners() { return event_manager::instance().listeners_.size(); }
};

}  // namespace qzsdk::ui
