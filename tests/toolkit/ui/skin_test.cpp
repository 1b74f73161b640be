#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "toolkit/ui/default_skin.h"
#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/image.h"
#include "toolkit/ui/property_bag.h"

namespace qzsdk::ui {
namespace {

enum class expect { colour, f32, i32, font, flag, pair, strip, no_image };

struct listed_value {
    const char* key;
    expect kind;
    color colour{};
    double number = 0;         // f32, i32, flag; a strip's pixel width; a pair's first
    const char* text = nullptr;
    int32_t second = 0;        // a pair's second; a strip's pixel height
    uint32_t frames = 0;
};

// The families the widgets read, value by value.
const listed_value listed[] = {
    {"default_back_color", expect::colour, {1, 0, 1, 1}},
    {"default_border_color", expect::colour, {0, 0, 0, 0}},
    {"default_border_width", expect::f32, {}, 1},
    {"checkbox_back_color", expect::colour, {0, 0, 0, 0}},
    {"checkbox_border_color_normal", expect::colour, {0.294, 0.294, 0.294, 1}},
    {"checkbox_border_color_hover", expect::colour, {1, 1, 1, 1}},
    {"checkbox_border_color_focus", expect::colour, {0.255, 0.584, 0.753, 1}},
    {"checkbox_border_width", expect::f32, {}, 1},
    {"checkbox_font_name", expect::font, {}, 0, "tahoma"},
    {"checkbox_font_style", expect::i32, {}, 0},
    {"checkbox_font_weight", expect::i32, {}, 0},
    {"checkbox_font_color", expect::colour, {1, 1, 1, 1}},
    {"checkbox_font_size", expect::f32, {}, 11},
    {"checkbox_image", expect::strip, {}, 14, nullptr, 28, 2},
    {"dropdown_text_part_color", expect::colour, {0.071, 0.071, 0.075, 1}},
    {"dropdown_text_part_color_hover", expect::colour, {0.071, 0.071, 0.075, 1}},
    {"dropdown_gradient_text", expect::flag, {}, 1},
    {"dropdown_gradient_text_1", expect::colour, {0.553, 0.545, 0.545, 1}},
    {"dropdown_gradient_text_2", expect::colour, {0.796, 0.784, 0.784, 1}},
    {"dropdown_button_part_color", expect::colour, {0.322, 0.322, 0.322, 1}},
    {"dropdown_button_part_color_hover", expect::colour, {0.322, 0.322, 0.322, 1}},
    {"dropdown_gradient_button", expect::flag, {}, 1},
    {"dropdown_gradient_button_1", expect::colour, {0.4, 0.4, 0.4, 1}},
    {"dropdown_gradient_button_2", expect::colour, {0.263, 0.263, 0.263, 1}},
    {"dropdown_button_image", expect::strip, {}, 8, nullptr, 5, 1},
    {"dropdown_border_color_normal", expect::colour, {0.294, 0.294, 0.294, 1}},
    {"dropdown_border_color_hover", expect::colour, {1, 1, 1, 1}},
    {"dropdown_border_color_focus", expect::colour, {0.255, 0.584, 0.753, 1}},
    {"dropdown_font_name", expect::font, {}, 0, "tahoma"},
    {"dropdown_font_style", expect::i32, {}, 0},
    {"dropdown_font_weight", expect::i32, {}, 0},
    {"dropdown_font_color", expect::colour, {1, 1, 1, 1}},
    {"dropdown_font_color_extra", expect::colour, {1, 1, 1, 1}},
    {"dropdown_font_size", expect::f32, {}, 11},
    {"dropdown_font_size_extra", expect::f32, {}, 10},
    {"dropdown_text_align", expect::i32, {}, 0},
    {"button_color_normal", expect::colour, {0.173, 0.176, 0.192, 1}},
    {"button_color_hover", expect::colour, {0.239, 0.247, 0.263, 1}},
    {"button_color_toggle", expect::colour, {0.188, 0.29, 0.506, 1}},
    {"button_border_color_normal", expect::colour, {0, 0, 0, 0}},
    {"button_border_color_hover", expect::colour, {1, 1, 1, 1}},
    {"button_border_color_focus", expect::colour, {0.6, 0.6, 0.6, 1}},
    {"button_font_name", expect::font, {}, 0, "tahoma"},
    {"button_font_style", expect::i32, {}, 0},
    {"button_font_weight", expect::i32, {}, 2},
    {"button_font_color", expect::colour, {1, 1, 1, 1}},
    {"button_font_color_hover", expect::colour, {1, 1, 1, 1}},
    {"button_font_color_pressed", expect::colour, {1, 1, 1, 1}},
    {"button_font_size", expect::f32, {}, 11},
    {"button_back_image", expect::no_image},
    {"button_back_image_strech", expect::flag, {}, 0},
    {"splitpanel_back_color", expect::colour, {0, 0, 0, 1}},
    {"splitpanel_border_color_1", expect::colour, {0.314, 0.314, 0.322, 1}},
    {"splitpanel_border_color_2", expect::colour, {0.314, 0.314, 0.322, 1}},
    {"splitpanel_mark_color", expect::colour, {1, 1, 1, 0.5}},
    {"splitpanel_split_thickness", expect::i32, {}, 10},
    {"tooltip_back_color", expect::colour, {0.106, 0.106, 0.11, 1}},
    {"tooltip_border_color", expect::colour, {0.29, 0.31, 0.325, 1}},
    {"tooltip_border_color_1", expect::colour, {0, 0, 0, 1}},
    {"tooltip_font_name", expect::font, {}, 0, "tahoma"},
    {"tooltip_font_style", expect::i32, {}, 0},
    {"tooltip_font_weight", expect::i32, {}, 0},
    {"tooltip_font_color", expect::colour, {0.655, 0.655, 0.655, 1}},
    {"tooltip_font_size", expect::f32, {}, 11},
    {"tooltip_title_font_name", expect::font, {}, 0, "tahoma"},
    {"tooltip_title_font_style", expect::i32, {}, 0},
    {"tooltip_title_font_weight", expect::i32, {}, 2},
    {"tooltip_title_font_color", expect::colour, {1, 1, 1, 1}},
    {"tooltip_title_font_size", expect::f32, {}, 11},
    {"input_border_color", expect::colour, {1, 1, 1, 1}},
    {"input_selection_color", expect::colour, {0.2, 0.6, 1, 1}},
    {"input_ime_cursor_color", expect::colour, {0.578, 0.578, 0.578, 1}},
    {"input_ime_block_color", expect::colour, {0.278, 0.278, 0.278, 1}},
    {"input_font_name", expect::font, {}, 0, "tahoma"},
    {"input_font_style", expect::i32, {}, 0},
    {"input_font_weight", expect::i32, {}, 0},
    {"input_font_size", expect::f32, {}, 12},
    {"input_font_color", expect::colour, {1, 1, 1, 1}},
    {"input_font_color_selected", expect::colour, {1, 1, 1, 1}},
    {"input_inside_margins", expect::pair, {}, 3, nullptr, 3},
    {"input_font_default_text_color", expect::colour, {0.5, 0.5, 0.5, 1}},
    {"scroll_button_back_color", expect::colour, {0.22, 0.235, 0.251, 1}},
    {"scroll_button_line_color", expect::colour, {0.325, 0.325, 0.325, 1}},
    {"scroll_button_arrow_image", expect::strip, {}, 8, nullptr, 8, 1},
    {"scroll_bar_back_color", expect::colour, {0.145, 0.149, 0.165, 1}},
    {"scroll_bar_line_color", expect::colour, {0.314, 0.314, 0.314, 1}},
    {"scroll_back_color", expect::colour, {0.067, 0.071, 0.078, 1}},
    {"scroll_min_size", expect::i32, {}, 50},
    {"label_font_name", expect::font, {}, 0, "tahoma"},
    {"label_font_style", expect::i32, {}, 0},
    {"label_font_weight", expect::i32, {}, 0},
    {"label_font_size", expect::f32, {}, 11},
    {"label_font_color", expect::colour, {1, 1, 1, 1}},
    {"label_text_align", expect::i32, {}, 0},
    {"label_text_valign", expect::i32, {}, 0},
};

class Skin : public ::testing::Test {
protected:
    void TearDown() override { skin_overrides.clear(); }
};

TEST_F(Skin, EveryListedDefaultHasItsValueAndKind)
{
    const property_bag bag;
    for (const listed_value& entry : listed) {
        SCOPED_TRACE(entry.key);
        const property_value value = find_property(bag, entry.key);
        switch (entry.kind) {
        case expect::colour:
            EXPECT_EQ(value.kind, property_kind::color);
            EXPECT_EQ(bag.get_color(entry.key), entry.colour);
            EXPECT_TRUE(value.bytes.empty());
            break;
        case expect::f32:
            EXPECT_EQ(value.kind, property_kind::number);
            EXPECT_EQ(bag.get_float(entry.key), float(entry.number));
            break;
        case expect::i32:
            EXPECT_EQ(value.kind, property_kind::number);
            EXPECT_EQ(bag.get_int(entry.key), int32_t(entry.number));
            break;
        case expect::font:
            EXPECT_EQ(value.kind, property_kind::text);
            EXPECT_EQ(bag.get_string(entry.key), entry.text);
            break;
        case expect::flag:
            EXPECT_EQ(value.kind, property_kind::flag);
            EXPECT_EQ(value.bytes.size(), 1u);
            EXPECT_EQ(bag.get_flag(entry.key), entry.number != 0);
            break;
        case expect::pair:
            EXPECT_EQ(value.kind, property_kind::pair);
            EXPECT_EQ(bag.get_pair(entry.key), std::make_pair(int32_t(entry.number), entry.second));
            break;
        case expect::no_image: {
            EXPECT_EQ(value.kind, property_kind::image);
            const embedded_image none = bag.get_image(entry.key);
            EXPECT_EQ(none.data, nullptr);
            EXPECT_EQ(none.length, 0u);
            EXPECT_EQ(none.frame_count, 1u);
            EXPECT_EQ(none.scale, 1.0f);
            break;
        }
        case expect::strip: {
            EXPECT_EQ(value.kind, property_kind::image);
            const embedded_image png = bag.get_image(entry.key);
            EXPECT_EQ(png.frame_count, entry.frames);
            EXPECT_EQ(png.scale, 1.0f);
            image decoded;
            ASSERT_TRUE(decoded.load_from_memory(png.data, png.length, png.scale));
            EXPECT_EQ(decoded.width(), uint32_t(entry.number));
            EXPECT_EQ(decoded.height(), uint32_t(entry.second));
            EXPECT_EQ(decoded.height() % png.frame_count, 0u);
            break;
        }
        }
    }
}

bool ends_with(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// The kind every key's last words call for.
property_kind kind_for(std::string_view key)
{
    if (ends_with(key, "_font_name")) return property_kind::text;
    if (ends_with(key, "_image")) return property_kind::image;
    if (ends_with(key, "_margins") || (ends_with(key, "_size") && key.find("font_size") == key.npos &&
                                       key != "scroll_min_size"))
        return property_kind::pair;
    if (ends_with(key, "_gradient") || key == "editparam_flex_param" || key == "node_link_glow" ||
        key == "dropdown_gradient_text" || key == "dropdown_gradient_button" || key == "button_back_image_strech")
        return property_kind::flag;
    if (key.find("_color") != key.npos || key.find("gradient_") != key.npos) return property_kind::color;
    return property_kind::number;
}

TEST_F(Skin, TableHolds279DistinctKeysOfTheKindTheirNamesCallFor)
{
    EXPECT_EQ(init_default_skin().size(), 279u);
    EXPECT_EQ(default_skin.size(), 279u);
    std::set<std::string> families;
    for (const auto& [key, value] : default_skin) {
        SCOPED_TRACE(key);
        EXPECT_EQ(value.kind, kind_for(key));
        if (ends_with(key, "_font_size")) {
            EXPECT_EQ(value.bytes.size(), 4u);
        }
    }
    const property_bag bag;
    EXPECT_EQ(bag.get_pair("message_popup_window_margins"), std::make_pair(20, 20));
    EXPECT_EQ(bag.get_int("float_precision"), 2);
    EXPECT_EQ(bag.get_int("scroll_min_size"), 50);
    EXPECT_TRUE(init_skin_overrides().empty());
}

TEST_F(Skin, LookupPrefersOwnValueThenOverrideThenDefault)
{
    property_bag bag;
    EXPECT_EQ(bag.get_int("button_font_weight"), 2);
    EXPECT_EQ(bag.get_color("default_back_color"), color(1, 0, 1, 1));

    skin_overrides["button_font_weight"] = property_value::of_int(1);
    EXPECT_EQ(bag.get_int("button_font_weight"), 1);
    bag.set_scalar("button_font_weight", int32_t(0));
    EXPECT_EQ(bag.get_int("button_font_weight"), 0);

    // A bag's value shadows the override for that bag only.
    property_bag other;
    EXPECT_EQ(other.get_int("button_font_weight"), 1);
    skin_overrides.clear();
    EXPECT_EQ(other.get_int("button_font_weight"), 2);
    EXPECT_EQ(bag.get_int("button_font_weight"), 0);
}

TEST_F(Skin, MissingKeyGivesTheEmptyValue)
{
    property_bag bag;
    EXPECT_EQ(bag.get_color("no_such_key"), color());
    EXPECT_EQ(bag.get_int("no_such_key"), 0);
    EXPECT_EQ(bag.get_float("no_such_key"), 0.0f);
    EXPECT_EQ(bag.get_string("no_such_key"), "");
    EXPECT_EQ(bag.get_image("no_such_key").data, nullptr);
    EXPECT_EQ(bag.get_image("no_such_key").length, 0u);
    EXPECT_FALSE(bag.get_flag("no_such_key"));
    // Keys compare case-sensitively.
    EXPECT_EQ(bag.get_int("Button_Font_Weight"), 0);
}

TEST_F(Skin, ValuesReadBackAndShortValuesReadZeros)
{
    property_bag bag;
    bag.set_scalar("size", 2.5f);
    bag.set_scalar("count", int32_t(-7));
    bag.set_string("font", "verdana");
    bag.set_color("tint", {0.25f, 0.5f, 0.75f, 1});
    EXPECT_EQ(bag.get_float("size"), 2.5f);
    EXPECT_EQ(bag.get_int("count"), -7);
    EXPECT_EQ(bag.get_string("font"), "verdana");
    EXPECT_EQ(bag.get_color("tint"), color(0.25f, 0.5f, 0.75f, 1));
    EXPECT_EQ(bag.get_color("size"), color());
    bag.set_string("short", "ab");
    EXPECT_EQ(bag.get_int("short"), 'a' | 'b' << 8);
}

TEST_F(Skin, KeysAreCopiedNotViewed)
{
    property_bag bag;
    {
        std::string key = "label_font_size";
        bag.set_scalar(key, 20.0f);
        key.assign("label_font_name");  // the caller's characters change afterwards
    }
    EXPECT_EQ(bag.get_float("label_font_size"), 20.0f);
    EXPECT_EQ(bag.values().count("label_font_name"), 0u);
}

TEST_F(Skin, ImageGetterAnswersOnlyForImages)
{
    property_bag bag;
    // 24 bytes of text that would read as a pointer and a length.
    bag.set_string("button_back_image", std::string(24, '\x41'));
    EXPECT_EQ(bag.get_image("button_back_image").data, nullptr);
    EXPECT_EQ(bag.get_image("button_back_image").length, 0u);
    EXPECT_EQ(bag.get_image("default_back_color").data, nullptr);

    static const uint8_t png[] = {1, 2, 3};
    bag.set_image("button_back_image", {png, 3, 4, 2.0f});
    const embedded_image stored = bag.get_image("button_back_image");
    EXPECT_EQ(stored.data, png);
    EXPECT_EQ(stored.length, 3u);
    EXPECT_EQ(stored.frame_count, 4u);
    EXPECT_EQ(stored.scale, 2.0f);
}

TEST_F(Skin, DefaultFontIsArialAndOneZeroByte)
{
    property_bag bag;
    bag.set_default_font("input_font_name");
    EXPECT_EQ(bag.get_string("input_font_name"), std::string("Arial", 6));
}

struct bag_owner : event_object {
    property_bag properties{this};
};

TEST_F(Skin, EverySetFiresPropertyChangedOnceWithTheKey)
{
    bag_owner owner;
    event_object listener;
    std::vector<std::string> heard;
    event_manager::instance().connect(&owner, &listener, event_id::property_changed, [&](const event_info& info) {
        EXPECT_EQ(info.sender, &owner);
        EXPECT_EQ(info.phase, 2u);
        EXPECT_EQ(info.flag, 1u);
        heard.emplace_back(reinterpret_cast<const char*>(info.param));
    });
    owner.properties.set_color("button_color_hover", {1, 1, 1, 1});
    owner.properties.set_color("button_color_hover", {1, 1, 1, 1});
    owner.properties.set_scalar("button_font_size", 9.0f);
    owner.properties.set_string("button_font_name", "verdana");
    owner.properties.set_image("checkbox_image", {});
    owner.properties.set_default_font("input_font_name");
    EXPECT_EQ(heard, (std::vector<std::string>{"button_color_hover", "button_color_hover", "button_font_size",
                                               "button_font_name", "checkbox_image", "input_font_name"}));

    property_bag ownerless;
    ownerless.set_scalar("button_font_size", 9.0f);  // nobody to tell
    EXPECT_EQ(heard.size(), 6u);
}

}  // namespace
}  // namespace qzsdk::ui
