#include "toolkit/ui/property_bag.h"

#include <algorithm>
#include <cstring>

#include "toolkit/ui/default_skin.h"
#include "toolkit/ui/event_manager.h"

namespace qzsdk::ui {

namespace {

template <class T>
std::string bytes_of(const T& value)
{
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

// A getter that needs more bytes than the value holds reads zeros.
template <class T>
T leading(const property_value& value)
{
    T result{};
    std::memcpy(&result, value.bytes.data(), std::min(sizeof result, value.bytes.size()));
    return result;
}

const property_value* find_in(const property_map& map, std::string_view key)
{
    auto found = map.find(key);
    return found == map.end() ? nullptr : &found->second;
}

const property_value& lookup(const property_bag& bag, std::string_view key)
{
    static const property_value empty;
    for (const property_map* map : {&bag.values(), &std::as_const(skin_overrides), &default_skin})
        if (const property_value* value = find_in(*map, key)) return *value;
    return empty;
}

}  // namespace

property_value property_value::of_color(const ui::color& value) { return {{}, value, property_kind::color}; }
property_value property_value::of_float(float value) { return {bytes_of(value), {}, property_kind::number}; }
property_value property_value::of_int(int32_t value) { return {bytes_of(value), {}, property_kind::number}; }
property_value property_value::of_text(std::string_view value)
{
    return {std::string(value), {}, property_kind::text};
}
property_value property_value::of_image(const embedded_image& value)
{
    return {bytes_of(value), {}, property_kind::image};
}
property_value property_value::of_pair(int32_t first, int32_t second)
{
    return {bytes_of(first) + bytes_of(second), {}, property_kind::pair};
}
property_value property_value::of_flag(bool value)
{
    return {std::string(1, value ? '\1' : '\0'), {}, property_kind::flag};
}

property_value find_property(const property_bag& bag, std::string_view key) { return lookup(bag, key); }

void property_bag::store(std::string_view key, property_value value)
{
    auto [entry, inserted] = values_.insert_or_assign(std::string(key), std::move(value));
    // The param points at the bag's own copy of the key, which lives as long as the entry.
    if (owner_)
        event_manager::instance().fire(owner_, event_id::property_changed, 2, 1,
                                       reinterpret_cast<uint64_t>(entry->first.c_str()));
}

void property_bag::set_color(std::string_view key, const color& value) { store(key, property_value::of_color(value)); }
void property_bag::set_string(std::string_view key, std::string_view value)
{
    store(key, property_value::of_text(value));
}
void property_bag::set_scalar(std::string_view key, float value) { store(key, property_value::of_float(value)); }
void property_bag::set_scalar(std::string_view key, int32_t value) { store(key, property_value::of_int(value)); }
void property_bag::set_image(std::string_view key, const embedded_image& value)
{
    store(key, property_value::of_image(value));
}
void property_bag::set_default_font(std::string_view key)
{
    store(key, property_value::of_text(std::string_view("Arial", sizeof "Arial")));
}

color property_bag::get_color(std::string_view key) const { return lookup(*this, key).color; }
float property_bag::get_float(std::string_view key) const { return leading<float>(lookup(*this, key)); }
int32_t property_bag::get_int(std::string_view key) const { return leading<int32_t>(lookup(*this, key)); }
std::string property_bag::get_string(std::string_view key) const { return lookup(*this, key).bytes; }
embedded_image property_bag::get_image(std::string_view key) const
{
    const property_value& value = lookup(*this, key);
    return value.kind == property_kind::image ? leading<embedded_image>(value) : embedded_image{};
}
std::pair<int32_t, int32_t> property_bag::get_pair(std::string_view key) const
{
    struct pair_bytes {
        int32_t first, second;
    };
    auto both = leading<pair_bytes>(lookup(*this, key));
    return {both.first, both.second};
}
bool property_bag::get_flag(std::string_view key) const { return leading<uint8_t>(lookup(*this, key)) != 0; }

}  // namespace qzsdk::ui
