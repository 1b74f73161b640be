#pragma once
// The user's settings: theme, hotkey, screenshots, news visit. Stored in "effects_settings".
#include <cstdint>
#include <string>

enum HotkeyMode : uint32_t {
    hotkey_ctrl_space = 0,
    hotkey_shift_space = 1,
    hotkey_ctrl_tab = 2,
    hotkey_shift_tab = 3,
    hotkey_custom = 4,
};

struct PopupSettings {
    // The defaults; the capture folder comes from the maker's registry key or the documents folder.
    PopupSettings();

    // The custom hotkey as shown to the user, e.g. "CTRL + SHIFT + F".
    std::string HotkeyText() const;

    uint32_t ui_color = 0;
    uint32_t hotkey_mode = hotkey_ctrl_space;
    std::string capture_folder;
    bool full_resolution = false;
    int64_t last_news_visit = 0;  // Unix seconds
    int32_t custom_key = -1;      // a virtual-key code, -1 for none
    uint32_t custom_ctrl = 0;
    uint32_t custom_alt = 0;
    uint32_t custom_shift = 0;
    uint32_t custom_win = 0;
    std::string custom_key_name;
};
