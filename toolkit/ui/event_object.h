#pragma once

namespace qzsdk::ui {

class non_copyable_non_moveable {
public:
    non_copyable_non_moveable(const non_copyable_non_moveable&) = delete;
    non_copyable_non_moveable& operator=(const non_copyable_non_moveable&) = delete;

protected:
    non_copyable_non_moveable() = default;
    ~non_copyable_non_moveable() = default;
};

// Root of every toolkit object: its death removes every connection it takes part in.
class event_object : non_copyable_non_moveable {
public:
    event_object() = default;
    virtual ~event_object();
};

}  // namespace qzsdk::ui
