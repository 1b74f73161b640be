#include "toolkit/ui/event_manager.h"

#include <algorithm>
#include <new>

namespace qzsdk::ui {

// Empties the manager when the static objects die, and leaves it inert for objects that die later.
class event_manager_unload_guard {
public:
    explicit event_manager_unload_guard(event_manager& manager) : manager_(manager) {}
    ~event_manager_unload_guard() { manager_.release_all(); }

private:
    event_manager& manager_;
};

event_manager& event_manager::instance()
{
    // The storage is never destroyed, so a static object that dies after the guard still finds a
    // valid (inert) manager, whatever the order of destruction.
    alignas(event_manager) static unsigned char storage[sizeof(event_manager)];
    static event_manager* manager = new (storage) event_manager();
    static event_manager_unload_guard guard(*manager);
    return *manager;
}

void event_manager::release_all()
{
    inert_ = true;
    decltype(handlers_)().swap(handlers_);
    decltype(connections_)().swap(connections_);
    decltype(listeners_)().swap(listeners_);
}

uint32_t event_manager::connect(event_object* source, event_object* listener, uint32_t id, event_handler handler)
{
    uint32_t connection = next_connection_++;
    if (inert_)
        return connection;
    auto entry = std::make_shared<handler_entry>(handler_entry{connection, true, std::move(handler)});
    handlers_[source][id].push_back(std::move(entry));
    connections_.emplace(connection, connection_record{source, listener, id});
    listeners_[listener].push_back(connection);
    return connection;
}

void event_manager::disconnect(uint32_t connection)
{
    auto found = connections_.find(connection);
    if (found == connections_.end())
        return;
    connection_record record = found->second;
    connections_.erase(found);
    forget_connection(connection, record, false);
}

// Unlinks the handler from its source's list (which stays, also empty) and the id from its listener.
void event_manager::forget_connection(uint32_t connection, const connection_record& record, bool listener_died)
{
    if (auto source = handlers_.find(record.source); source != handlers_.end()) {
        if (auto list = source->second.find(record.event_id); list != source->second.end()) {
            auto& entries = list->second;
            auto entry = std::find_if(entries.begin(), entries.end(),
                                      [connection](const auto& e) { return e->connection == connection; });
            if (entry != entries.end()) {
                // A fire in progress holds the entry too: it must not call into a dead listener.
                if (listener_died)
                    (*entry)->listener_alive = false;
                entries.erase(entry);
            }
        }
    }
    if (auto listener = listeners_.find(record.listener); listener != listeners_.end()) {
        auto& ids = listener->second;
        // Connections are usually dropped newest first or all at once: search from the back.
        auto id = std::find(ids.rbegin(), ids.rend(), connection);
        if (id != ids.rend())
            ids.erase(std::next(id).base());
        if (ids.empty())
            listeners_.erase(listener);
    }
}

void event_manager::remove_listener(event_object* listener_object)
{
    if (inert_)
        return;
    if (auto listener = listeners_.find(listener_object); listener != listeners_.end()) {
        std::vector<uint32_t> ids = std::move(listener->second);
        listeners_.erase(listener);
        for (uint32_t id : ids) {
            auto record = connections_.find(id);
            if (record == connections_.end())
                continue;
            connection_record copy = record->second;
            connections_.erase(record);
            forget_connection(id, copy, true);
        }
    }
}

void event_manager::remove_object(event_object* object)
{
    if (inert_)
        return;
    remove_listener(object);
    if (auto source = handlers_.find(object); source != handlers_.end()) {
        auto lists = std::move(source->second);
        handlers_.erase(source);
        for (auto& [event_id, entries] : lists) {
            for (auto& entry : entries) {
                auto record = connections_.find(entry->connection);
                if (record == connections_.end())
                    continue;
                connection_record copy = record->second;
                connections_.erase(record);
                forget_connection(entry->connection, copy, false);
            }
        }
    }
}

bool event_manager::has_handlers(event_object* source, uint32_t id) const
{
    auto found = handlers_.find(source);
    return found != handlers_.end() && found->second.count(id) != 0;
}

bool event_manager::fire(event_object* source, uint32_t id, uint32_t phase, uint32_t flag, uint64_t param)
{
    auto found_source = handlers_.find(source);
    if (found_source == handlers_.end())
        return false;
    auto list = found_source->second.find(id);
    if (list == found_source->second.end())
        return false;
    event_info info{source, id, phase, flag, param};
    handler_list copy = list->second;
    for (const auto& entry : copy) {
        if (entry->listener_alive)
            entry->handler(info);
    }
    return true;
}

}  // namespace qzsdk::ui
