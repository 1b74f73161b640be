#pragma once
// The process-wide table of connections from (source, event id) to handlers bound to a listener.
// User-interface thread only; no locks.
#include "toolkit/ui/event_id.h"
#include "toolkit/ui/event_info.h"
#include "toolkit/ui/event_object.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

namespace qzsdk::ui {

using event_handler = std::function<void(const event_info&)>;

class event_manager {
public:
    // Built on first use; never destroyed, only emptied at unload, after which it is inert so that
    // static objects dying later can still forget themselves.
    static event_manager& instance();

    // Ids start at 0 and are never reused; a stale id is harmless in disconnect.
    uint32_t connect(event_object* source, event_object* listener, uint32_t id, event_handler handler);
    void disconnect(uint32_t connection);
    void remove_object(event_object* object);
    // Drops every handler the object listens with, while it still fires as a source: a dying object's
    // last events must not reach the parts of it that are already gone.
    void remove_listener(event_object* listener);
    // True when the source has a handler list for the id, also an emptied one.
    bool fire(event_object* source, uint32_t id, uint32_t phase = 2, uint32_t flag = 1, uint64_t param = 0);
    // Whether fire would find a list, without calling anything.
    bool has_handlers(event_object* source, uint32_t id) const;

private:
    friend class event_manager_test_api;
    friend class event_manager_unload_guard;

    // Shared with a fire in progress, so that a disconnected handler still runs in that fire while a
    // handler whose listener died is skipped.
    struct handler_entry {
        uint32_t connection;
        bool listener_alive;
        event_handler handler;
    };
    using handler_list = std::vector<std::shared_ptr<handler_entry>>;
    struct connection_record {
        event_object* source;
        event_object* listener;
        uint32_t event_id;
    };

    event_manager() = default;
    void release_all();
    void forget_connection(uint32_t connection, const connection_record& record, bool listener_died);

    std::unordered_map<event_object*, std::unordered_map<uint32_t, handler_list>> handlers_;
    std::unordered_map<uint32_t, connection_record> connections_;
    std::unordered_map<event_object*, std::vector<uint32_t>> listeners_;
    uint32_t next_connection_ = 0;
    bool inert_ = false;
};

// Raises an event with phase 2 and flag 1.
inline bool fire_event(event_object* source, uint32_t id, uint64_t param = 0)
{
    return event_manager::instance().fire(source, id, 2, 1, param);
}

template <class Listener, class Base>
uint32_t connect_member(event_object* source, uint32_t id, void (Base::*member)(), Listener* listener)
{
    return event_manager::instance().connect(source, listener, id,
                                             [listener, member](const event_info&) { (listener->*member)(); });
}

template <class Listener, class Base>
uint32_t connect_member_info(event_object* source, uint32_t id, void (Base::*member)(const event_info&),
                             Listener* listener)
{
    return event_manager::instance().connect(
        source, listener, id, [listener, member](const event_info& info) { (listener->*member)(info); });
}

}  // namespace qzsdk::ui
