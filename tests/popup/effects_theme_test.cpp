#include "popup/effects_popup_window.h"
#include "popup/effects_theme.h"
#include "tests/support/effects_popup_window_test_api.h"

#include "tests/support/temp_folder.h"
#include "toolkit/ui/default_skin.h"
#include "toolkit/ui/image.h"
#include "toolkit/ui/property_bag.h"

#include <gtest/gtest.h>

#include <memory>

using qzsdk::test::temp_folder;
using qzsdk::ui::color;
using qzsdk::ui::embedded_image;

namespace {

struct IconField {
    const char* name;
    embedded_image EffectsTheme::*field;
    uint32_t frame_count;
    uint32_t width_units;  // one frame in 96-dpi units, as the widget showing it expects
    uint32_t height_units;
};

const IconField icon_fields[] = {
    {"search_icon", &EffectsTheme::search_icon, 1, 24, 24},
    {"picker_search_icon", &EffectsTheme::picker_search_icon, 1, 15, 15},
    {"screenshot_image", &EffectsTheme::screenshot_image, 4, 28, 28},
    {"export_image", &EffectsTheme::export_image, 3, 28, 28},
    {"gallery_image", &EffectsTheme::gallery_image, 3, 28, 28},
    {"settings_image", &EffectsTheme::settings_image, 3, 28, 28},
    {"news_image", &EffectsTheme::news_image, 3, 28, 28},
    {"badge_image", &EffectsTheme::badge_image, 1, 18, 18},
    {"gallery_swap_image", &EffectsTheme::gallery_swap_image, 3, 24, 24},
    {"spare_list_image", &EffectsTheme::spare_list_image, 3, 16, 16},
    {"gallery_copy_image", &EffectsTheme::gallery_copy_image, 4, 16, 16},
    {"spare_download_image", &EffectsTheme::spare_download_image, 3, 16, 16},
    {"gallery_delete_image", &EffectsTheme::gallery_delete_image, 3, 16, 16},
    {"gallery_export_image", &EffectsTheme::gallery_export_image, 3, 16, 16},
    {"gallery_close_image", &EffectsTheme::gallery_close_image, 3, 16, 16},
    {"maximise_image", &EffectsTheme::maximise_image, 3, 16, 16},
    {"restore_image", &EffectsTheme::restore_image, 3, 16, 16},
    {"actual_size_image", &EffectsTheme::actual_size_image, 3, 16, 16},
    {"fit_image", &EffectsTheme::fit_image, 3, 16, 16},
    {"remove_button_image", &EffectsTheme::remove_button_image, 3, 16, 16},
    {"clear_button_image", &EffectsTheme::clear_button_image, 2, 16, 16},
    {"dropdown_arrow_image", &EffectsTheme::dropdown_arrow_image, 1, 8, 5},
    {"checkbox_image", &EffectsTheme::checkbox_image, 2, 14, 14},
};

// The gallery, the preferences and the message popups keep pointers into the popup's table.
template <class Popup>
concept ThemesRebuildable = requires(Popup& popup) { popup.BuildThemes(); };

color skin_color(std::string_view key)
{
    qzsdk::ui::property_bag bag;
    return bag.get_color(key);
}

}  // namespace

TEST(EffectsThemes, EveryIconIsAStripOfWholeFramesSizedForItsWidget)
{
    for (const EffectsTheme& theme : build_effects_themes()) {
        for (const IconField& icon : icon_fields) {
            SCOPED_TRACE(std::string(icon.name) + " of theme " + std::to_string(theme.index));
            const embedded_image& strip = theme.*icon.field;
            ASSERT_NE(strip.data, nullptr);
            EXPECT_EQ(strip.frame_count, icon.frame_count);
            ASSERT_GT(strip.scale, 0.0f);
            qzsdk::ui::image picture;
            ASSERT_TRUE(picture.load_from_memory(strip.data, strip.length, strip.scale));
            EXPECT_EQ(static_cast<uint32_t>(picture.width() / strip.scale), icon.width_units);
            EXPECT_EQ(static_cast<uint32_t>(picture.height() / strip.scale), icon.height_units * icon.frame_count);
            EXPECT_EQ(picture.height() % icon.frame_count, 0u);
        }
    }
}

class PopupThemeTest : public testing::Test {
protected:
    EffectsPopupWindow& popup(uint32_t ui_color)
    {
        settings_.ui_color = ui_color;
        popup_ = std::make_unique<EffectsPopupWindow>(nullptr, &settings_, MakerFolders{local_.get(), common_.get()},
                                                          EffectsPopupWindowTestApi::refusing_news_server());
        return *popup_;
    }

    temp_folder local_;
    temp_folder common_;
    PopupSettings settings_;
    std::unique_ptr<EffectsPopupWindow> popup_;
};

TEST_F(PopupThemeTest, ConstructionAppliesTheSettingsThemeSwitchingRecoloursAndReapplyingNeedsForce)
{
    EffectsPopupWindow& window = popup(1);
    ASSERT_EQ(window.themes().size(), 2u);
    ASSERT_EQ(window.current_theme(), &window.themes()[1]);
    EXPECT_EQ(window.themes()[1].index, 1u);
    const EffectsTheme& light = window.themes()[1];
    EXPECT_EQ(skin_color("tooltip_back_color"), light.tooltip_back);
    EXPECT_EQ(skin_color("tooltip_border_color"), light.separator_color);
    EXPECT_EQ(skin_color("tooltip_font_color"), light.tooltip_text);
    for (const char* cleared : {"tooltip_border_color_1", "button_border_color_hover", "button_border_color_focus"}) {
        ASSERT_TRUE(qzsdk::ui::skin_overrides.contains(cleared)) << cleared;
        EXPECT_TRUE(skin_color(cleared).is_zero()) << cleared;
    }
    EXPECT_EQ(qzsdk::ui::skin_overrides.size(), 6u);
    window.ApplyTheme(0xFFFFFFFF, false);  // an unknown index shows the dark theme
    EXPECT_EQ(window.current_theme(), &window.themes()[0]);
    EXPECT_EQ(skin_color("tooltip_back_color"), window.themes()[0].tooltip_back);
    window.ApplyTheme(1, false);
    EXPECT_EQ(skin_color("tooltip_font_color"), window.themes()[1].tooltip_text);

    // Without force the current theme is left alone, even when the skin was changed behind its back.
    qzsdk::ui::skin_overrides.clear();
    window.ApplyTheme(1, false);
    EXPECT_TRUE(qzsdk::ui::skin_overrides.empty());
    window.ApplyTheme(1, true);
    EXPECT_EQ(skin_color("tooltip_font_color"), window.themes()[1].tooltip_text);
}

TEST_F(PopupThemeTest, TheTableIsBuiltOnceSoPointersOtherWindowsHoldStayValid)
{
    static_assert(!ThemesRebuildable<EffectsPopupWindow>, "nothing outside the popup may rebuild its theme table");
    EffectsPopupWindow& window = popup(1);
    const EffectsTheme* held = window.current_theme();
    const EffectsTheme* table = window.themes().data();
    window.ApplyTheme(0, false);
    window.ApplyTheme(1, true);
    EXPECT_EQ(window.themes().data(), table);
    EXPECT_EQ(window.current_theme(), held);
    EXPECT_EQ(held->index, 1u);
}
