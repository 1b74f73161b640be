#pragma once
// Named style values of a widget or window, looked up in the bag itself, then in the theme's override map,
// then in the built-in default skin.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "toolkit/ui/color.h"
#include "toolkit/ui/embedded_image.h"

namespace qzsdk::ui {

class event_object;

enum class property_kind : uint8_t { none, color, number, text, image, pair, flag };

struct property_value {
    std::string bytes;          // raw bytes; empty for a colour
    ui::color color;            // a colour value's colour; all zero for every other kind
    property_kind kind = property_kind::none;

    static property_value of_color(const ui::color& value);
    static property_value of_float(float value);
    static property_value of_int(int32_t value);
    static property_value of_text(std::string_view value);
    static property_value of_image(const embedded_image& value);
    static property_value of_pair(int32_t first, int32_t second);
    static property_value of_flag(bool value);
};

struct key_hash {
    using is_transparent = void;
    size_t operator()(std::string_view key) const noexcept { return std::hash<std::string_view>{}(key); }
};
// Keys are owned: a bag never keeps a view of its caller's characters.
using property_map = std::unordered_map<std::string, property_value, key_hash, std::equal_to<>>;

class property_bag {
public:
    explicit property_bag(event_object* owner = nullptr) : owner_(owner) {}
    property_bag(const property_bag&) = delete;
    property_bag& operator=(const property_bag&) = delete;

    // Each setter replaces the bag's own value and then fires event 43 on the owner (phase 2, flag 1,
    // param = pointer to the stored key's zero-terminated characters), also when the value is unchanged.
    void set_color(std::string_view key, const color& value);
    void set_string(std::string_view key, std::string_view value);
    void set_scalar(std::string_view key, float value);
    void set_scalar(std::string_view key, int32_t value);
    void set_image(std::string_view key, const embedded_image& value);
    void set_default_font(std::string_view key);  // "Arial" and one zero byte

    // Reinterpret the value found; missing bytes read as zeros.
    color get_color(std::string_view key) const;
    float get_float(std::string_view key) const;
    int32_t get_int(std::string_view key) const;
    std::string get_string(std::string_view key) const;
    embedded_image get_image(std::string_view key) const;  // the empty image unless stored as an image
    std::pair<int32_t, int32_t> get_pair(std::string_view key) const;
    bool get_flag(std::string_view key) const;

    const property_map& values() const { return values_; }
    event_object* owner() const { return owner_; }

private:
    void store(std::string_view key, property_value value);

    property_map values_;
    event_object* owner_;
};

// A copy of the value found for the key, or the empty value.
property_value find_property(const property_bag& bag, std::string_view key);

}  // namespace qzsdk::ui
