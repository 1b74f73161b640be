#include <gtest/gtest.h>

#include <string>

#include "toolkit/ui/default_skin.h"
#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/image.h"
#include "toolkit/ui/property_bag.h"

namespace qzsdk::ui {
namespace {

class Skin : public ::testing::Test {
protected:
    void TearDown() override { skin_overrides.clear(); }
};

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
    for (const auto& [key, value] : default_skin) {
        SCOPED_TRACE(key);
        EXPECT_EQ(value.kind, kind_for(key));
        EXPECT_TRUE(!ends_with(key, "_font_size") || value.bytes.size() == 4u);
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

TEST_F(Skin, ValuesReadBackShortOrMissingOnesReadZeros)
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
    bag.set_default_font("input_font_name");
    EXPECT_EQ(bag.get_string("input_font_name"), std::string("Arial", 6));
    // A missing key reads empty; keys compare case-sensitively.
    EXPECT_EQ(bag.get_color("no_such_key"), color());
    EXPECT_EQ(bag.get_float("no_such_key"), 0.0f);
    EXPECT_EQ(bag.get_string("no_such_key"), "");
    EXPECT_EQ(bag.get_image("no_such_key").data, nullptr);
    EXPECT_FALSE(bag.get_flag("no_such_key"));
    EXPECT_EQ(bag.get_int("Button_Font_Weight"), 0);
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
