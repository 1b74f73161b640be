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

// The codes of the popup's command entry.
enum PopupCommand : int32_t {
    popup_command_show = 0,
    popup_command_screenshot = 1,
    popup_command_export_menu = 2,
    popup_command_gallery = 3,
    popup_command_preferences = 4,
    popup_command_news_page = 5,
    popup_command_save = 6,
    popup_command_news_count = 7,
};

struct PopupSettings {
    // The defaults; the capture folder comes from the maker's registry key or the documents folder.
    PopupSettings();

    // The maker's registry folder, else the documents folder, joined with "Tarnwick/Zephrin/Capture"; empty
    // when neither is an absolute path.
    static std::string DefaultCaptureFolder();
    // Only an absolute capture folder is used: an empty or relative one would be read against the host's
    // working folder, where the gallery never looks.
    bool HasAbsoluteCaptureFolder() const;

    // The custom hotkey as shown to the user, e.g. "CTRL + SHIFT + F".
    std::string HotkeyText() const;
    // The virtual key the hotkey presses after its modifiers, 0 when that is no key.
    uint32_t HotkeyKey() const;

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
