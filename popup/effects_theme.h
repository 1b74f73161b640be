#pragma once
// A built-in colour theme: every colour and icon the popup, the gallery and the preferences draw with.
#include "toolkit/ui/color.h"
#include "toolkit/ui/embedded_image.h"

#include <cstdint>
#include <vector>

struct EffectsTheme {
    using color = qzsdk::ui::color;
    using embedded_image = qzsdk::ui::embedded_image;

    uint32_t index = 0;  // 0 Dark, 1 Light

    color top_bar_color;
    color corner_color;
    color separator_color;
    color border_color;
    color popup_spare_color;
    color flash_color;
    color effects_header_accent;
    color presets_header_accent;
    color shortcuts_back_color;
    color shortcut_hover_back_color;
    color shortcut_text_color;
    color shortcut_hover_text_color;
    color shortcut_number_color;
    color shortcuts_separator_color;
    color shortcuts_other_border_color;
    color shortcuts_border_color;
    color tooltip_back;
    color tooltip_text;
    color input_spare_color;
    color input_back_color;
    color input_text_color;
    color input_hint_color;
    color list_separator_color;
    color list_back_color;
    color header_text_color;
    color header_back_color;
    color row_text_color;
    color row_second_color;
    color row_back_color;

    embedded_image search_icon;
    embedded_image picker_search_icon;
    embedded_image screenshot_image;
    embedded_image export_image;
    embedded_image gallery_image;
    embedded_image settings_image;
    embedded_image news_image;
    embedded_image badge_image;
    embedded_image gallery_swap_image;
    embedded_image spare_list_image;
    embedded_image gallery_copy_image;
    embedded_image spare_download_image;
    embedded_image gallery_delete_image;
    embedded_image gallery_export_image;
    embedded_image gallery_close_image;
    embedded_image maximise_image;
    embedded_image restore_image;
    embedded_image actual_size_image;
    embedded_image fit_image;
    embedded_image remove_button_image;
    embedded_image clear_button_image;

    color popup_body_color;
    color scroll_thumb_color;
    color scroll_grip_color;
    color prefs_header_band_color;
    color dialog_back_color;
    color warning_text_color;
    color prefs_line_color;
    color prefs_list_line_color;
    color prefs_list_back_color;
    color prefs_row_color;
    color prefs_row_highlight_color;
    color prefs_scroll_back_color;
    color message_border_color;
    color gallery_border_color;
    color gallery_back_color;
    color gallery_title_color;
    color gallery_list_back_color;
    color gallery_preview_back_color;
    color gallery_selection_color;
    color gallery_button_text_color;
    color gallery_button_hover_text_color;
    color gallery_spare_color;
    color gallery_swap_button_color;
    color gallery_split_back_color;
    color gallery_split_mark_color;
    color gallery_split_border_color;
    color gallery_swap_border_color;
    color message_back_color;
    color message_text_color;
    color message_button_hover_color;
    color dropdown_back_color;
    color warning_button_color;
    color message_button_text_color;
    color warning_button_hover_text_color;
    color prefs_cancel_button_color;
    color warning_button_border_color;

    embedded_image dropdown_arrow_image;
    embedded_image checkbox_image;
};

// The two built-in themes in index order: Dark, then Light.
std::vector<EffectsTheme> build_effects_themes();

// Replaces the toolkit's global skin overrides with the theme's tooltip colours and clears the button
// hover and focus borders; every bag sees the change at its next lookup.
void apply_theme_to_skin(const EffectsTheme& theme);
