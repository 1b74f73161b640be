#include "popup/effects_theme.h"

#include "toolkit/resources/embedded_images.h"
#include "toolkit/ui/default_skin.h"


namespace {

using qzsdk::resources::png_bytes;
using qzsdk::ui::color;
using qzsdk::ui::embedded_image;
namespace icons = qzsdk::resources;

constexpr color grey(float value, float alpha = 1.0f) { return {value, value, value, alpha}; }
constexpr color rgb(float r, float g, float b) { return {r, g, b, 1.0f}; }

constexpr color accent_blue = rgb(0.000f, 0.443f, 0.737f);

struct ColourRow {
    color EffectsTheme::*field;
    color dark;
    color light;
};

struct IconRow {
    embedded_image EffectsTheme::*field;
    const png_bytes& dark;
    const png_bytes& light;
    uint32_t frame_count;
    float dark_scale;
    float light_scale;
};

const ColourRow colour_rows[] = {
    {&EffectsTheme::top_bar_color, grey(0.094f), grey(0.906f)},
    {&EffectsTheme::corner_color, grey(0.063f), grey(0.937f)},
    {&EffectsTheme::separator_color, grey(0.000f), grey(1.000f)},
    {&EffectsTheme::border_color, grey(0.796f), grey(0.204f)},
    {&EffectsTheme::popup_spare_color, grey(0.098f), grey(0.901f)},
    {&EffectsTheme::flash_color, accent_blue, accent_blue},
    {&EffectsTheme::effects_header_accent, accent_blue, accent_blue},
    {&EffectsTheme::presets_header_accent, rgb(0.753f, 0.090f, 0.082f), rgb(0.753f, 0.090f, 0.082f)},
    {&EffectsTheme::shortcuts_back_color, grey(0.051f), grey(0.950f)},
    {&EffectsTheme::shortcut_hover_back_color, grey(0.129f), grey(0.871f)},
    {&EffectsTheme::shortcut_text_color, rgb(0.001f, 0.470f, 0.768f), rgb(0.001f, 0.470f, 0.768f)},
    {&EffectsTheme::shortcut_hover_text_color, grey(1.000f), grey(0.000f)},
    {&EffectsTheme::shortcut_number_color, grey(0.300f), grey(0.700f)},
    {&EffectsTheme::shortcuts_separator_color, grey(0.137f), grey(0.863f)},
    {&EffectsTheme::shortcuts_other_border_color, grey(0.298f), grey(0.702f)},
    {&EffectsTheme::shortcuts_border_color, grey(0.796f), grey(0.204f)},
    {&EffectsTheme::tooltip_back, grey(0.120f), grey(0.880f)},
    {&EffectsTheme::tooltip_text, grey(0.720f), grey(0.280f)},
    {&EffectsTheme::input_spare_color, grey(0.188f), grey(0.812f)},
    {&EffectsTheme::input_back_color, grey(0.094f), grey(0.906f)},
    {&EffectsTheme::input_text_color, grey(0.871f), grey(0.000f)},
    {&EffectsTheme::input_hint_color, grey(0.565f, 0.400f), grey(0.451f)},
    {&EffectsTheme::list_separator_color, grey(0.298f), grey(0.702f)},
    {&EffectsTheme::list_back_color, grey(0.118f), grey(0.929f)},
    {&EffectsTheme::header_text_color, grey(0.490f), grey(0.569f)},
    {&EffectsTheme::header_back_color, grey(0.161f), grey(0.839f)},
    {&EffectsTheme::row_text_color, grey(0.784f), grey(0.310f)},
    {&EffectsTheme::row_second_color, grey(1.000f), grey(0.000f)},
    {&EffectsTheme::row_back_color, grey(0.118f), grey(0.882f)},
    {&EffectsTheme::popup_body_color, grey(0.145f), grey(0.855f)},
    {&EffectsTheme::scroll_thumb_color, grey(0.443f), grey(0.557f)},
    {&EffectsTheme::scroll_grip_color, grey(0.145f), grey(0.855f)},
    {&EffectsTheme::prefs_header_band_color, grey(0.129f), grey(0.871f)},
    {&EffectsTheme::dialog_back_color, grey(0.149f), grey(0.851f)},
    {&EffectsTheme::warning_text_color, grey(0.859f), grey(0.141f)},
    {&EffectsTheme::prefs_line_color, grey(0.314f), grey(0.616f)},
    {&EffectsTheme::prefs_list_line_color, grey(0.314f, 0.400f), grey(0.616f, 0.400f)},
    {&EffectsTheme::prefs_list_back_color, grey(0.094f), grey(0.894f)},
    {&EffectsTheme::prefs_row_color, grey(0.094f), grey(0.894f)},
    {&EffectsTheme::prefs_row_highlight_color, accent_blue, accent_blue},
    {&EffectsTheme::prefs_scroll_back_color, grey(0.176f), grey(0.824f)},
    {&EffectsTheme::message_border_color, grey(0.298f), grey(0.702f)},
    {&EffectsTheme::gallery_border_color, grey(0.298f), grey(0.702f)},
    {&EffectsTheme::gallery_back_color, grey(0.078f), grey(0.835f)},
    {&EffectsTheme::gallery_title_color, grey(0.125f), grey(0.875f)},
    {&EffectsTheme::gallery_list_back_color, grey(0.094f), grey(0.851f)},
    {&EffectsTheme::gallery_preview_back_color, grey(0.094f), grey(0.906f)},
    {&EffectsTheme::gallery_selection_color, accent_blue, accent_blue},
    {&EffectsTheme::gallery_button_text_color, grey(0.764f), grey(0.236f)},
    {&EffectsTheme::gallery_button_hover_text_color, grey(1.000f), grey(0.000f)},
    {&EffectsTheme::gallery_spare_color, grey(0.192f), grey(0.808f)},
    {&EffectsTheme::gallery_swap_button_color, grey(0.098f), grey(0.902f)},
    {&EffectsTheme::gallery_split_back_color, grey(0.098f), grey(0.902f)},
    {&EffectsTheme::gallery_split_mark_color, grey(0.925f, 0.500f), grey(0.314f, 0.500f)},
    {&EffectsTheme::gallery_split_border_color, grey(0.176f, 0.000f), grey(0.800f, 0.000f)},
    {&EffectsTheme::gallery_swap_border_color, grey(0.075f), grey(0.925f)},
    {&EffectsTheme::message_back_color, grey(0.106f), grey(0.894f)},
    {&EffectsTheme::message_text_color, grey(1.000f), grey(0.000f)},
    {&EffectsTheme::message_button_hover_color, rgb(0.000f, 0.533f, 0.753f), rgb(0.000f, 0.533f, 0.753f)},
    {&EffectsTheme::dropdown_back_color, grey(0.106f), grey(0.894f)},
    {&EffectsTheme::warning_button_color, accent_blue, accent_blue},
    {&EffectsTheme::message_button_text_color, grey(1.000f, 0.600f), grey(0.000f, 0.600f)},
    {&EffectsTheme::warning_button_hover_text_color, grey(1.000f), grey(1.000f)},
    {&EffectsTheme::prefs_cancel_button_color, grey(0.125f), grey(0.875f)},
    {&EffectsTheme::warning_button_border_color, grey(0.200f), grey(0.800f)},
};

// The spare list strip is read nowhere; it gets a usable scale in both themes rather than a zero divisor.
const IconRow icon_rows[] = {
    {&EffectsTheme::search_icon, icons::theme_dark_search_icon, icons::theme_light_search_icon, 1, 4.0f, 4.0f},
    {&EffectsTheme::picker_search_icon, icons::theme_dark_picker_search_icon, icons::theme_light_picker_search_icon,
     1, 4.0f, 4.0f},
    {&EffectsTheme::screenshot_image, icons::theme_dark_screenshot_image, icons::theme_light_screenshot_image, 4,
     4.0f, 4.0f},
    {&EffectsTheme::export_image, icons::theme_dark_export_image, icons::theme_light_export_image, 3, 4.0f, 4.0f},
    {&EffectsTheme::gallery_image, icons::theme_dark_gallery_image, icons::theme_light_gallery_image, 3, 4.0f, 4.0f},
    {&EffectsTheme::settings_image, icons::theme_dark_settings_image, icons::theme_light_settings_image, 3, 4.0f,
     4.0f},
    {&EffectsTheme::news_image, icons::theme_dark_news_image, icons::theme_light_news_image, 3, 4.0f, 4.0f},
    {&EffectsTheme::badge_image, icons::theme_badge_image, icons::theme_badge_image, 1, 4.0f, 4.0f},
    {&EffectsTheme::gallery_swap_image, icons::theme_dark_gallery_swap_image, icons::theme_light_gallery_swap_image,
     3, 4.0f, 4.0f},
    {&EffectsTheme::spare_list_image, icons::theme_dark_spare_list_image, icons::theme_light_spare_list_image, 3,
     1.0f, 1.0f},
    {&EffectsTheme::gallery_copy_image, icons::theme_dark_gallery_copy_image, icons::theme_light_gallery_copy_image,
     4, 4.0f, 4.0f},
    {&EffectsTheme::spare_download_image, icons::theme_dark_spare_download_image,
     icons::theme_light_spare_download_image, 3, 4.0f, 4.0f},
    {&EffectsTheme::gallery_delete_image, icons::theme_dark_gallery_delete_image,
     icons::theme_light_gallery_delete_image, 3, 4.0f, 4.0f},
    {&EffectsTheme::gallery_export_image, icons::theme_dark_gallery_export_image,
     icons::theme_light_gallery_export_image, 3, 4.0f, 4.0f},
    // The close button shows the delete cross.
    {&EffectsTheme::gallery_close_image, icons::theme_dark_gallery_delete_image,
     icons::theme_light_gallery_delete_image, 3, 4.0f, 4.0f},
    {&EffectsTheme::maximise_image, icons::theme_dark_maximise_image, icons::theme_light_maximise_image, 3, 4.0f,
     4.0f},
    {&EffectsTheme::restore_image, icons::theme_dark_restore_image, icons::theme_light_restore_image, 3, 4.0f, 4.0f},
    {&EffectsTheme::actual_size_image, icons::theme_dark_actual_size_image, icons::theme_light_actual_size_image, 3,
     4.0f, 4.0f},
    {&EffectsTheme::fit_image, icons::theme_dark_fit_image, icons::theme_light_fit_image, 3, 4.0f, 4.0f},
    {&EffectsTheme::remove_button_image, icons::theme_dark_remove_button_image,
     icons::theme_light_remove_button_image, 3, 4.0f, 4.0f},
    {&EffectsTheme::clear_button_image, icons::theme_dark_clear_button_image, icons::theme_light_clear_button_image,
     2, 4.0f, 4.0f},
    {&EffectsTheme::dropdown_arrow_image, icons::theme_dark_dropdown_arrow_image,
     icons::theme_light_dropdown_arrow_image, 1, 1.0f, 1.0f},
    {&EffectsTheme::checkbox_image, icons::theme_dark_checkbox_image, icons::theme_light_checkbox_image, 2, 1.0f,
     1.0f},
};

EffectsTheme build_theme(uint32_t index)
{
    bool dark = index == 0;
    EffectsTheme theme;
    theme.index = index;
    for (const ColourRow& row : colour_rows)
        theme.*row.field = dark ? row.dark : row.light;
    for (const IconRow& row : icon_rows) {
        const png_bytes& png = dark ? row.dark : row.light;
        theme.*row.field = {png.data, png.length, row.frame_count, dark ? row.dark_scale : row.light_scale};
    }
    return theme;
}

}  // namespace

std::vector<EffectsTheme> build_effects_themes()
{
    return {build_theme(0), build_theme(1)};
}

void apply_theme_to_skin(const EffectsTheme& theme)
{
    using qzsdk::ui::property_value;
    const color transparent;
    qzsdk::ui::property_map overrides;
    overrides["tooltip_back_color"] = property_value::of_color(theme.tooltip_back);
    overrides["tooltip_border_color"] = property_value::of_color(theme.separator_color);
    overrides["tooltip_font_color"] = property_value::of_color(theme.tooltip_text);
    overrides["tooltip_border_color_1"] = property_value::of_color(transparent);
    overrides["button_border_color_hover"] = property_value::of_color(transparent);
    overrides["button_border_color_focus"] = property_value::of_color(transparent);
    qzsdk::ui::skin_overrides = std::move(overrides);
}
