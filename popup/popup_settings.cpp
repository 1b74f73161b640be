#include "popup/popup_settings.h"

#include "toolkit/platform/special_folders.h"
#include "toolkit/platform/text.h"

#include <windows.h>

PopupSettings::PopupSettings()
    : capture_folder(DefaultCaptureFolder()), last_news_visit(qzsdk::clock_now() / qzsdk::ticks_per_second)
{
}

std::string PopupSettings::DefaultCaptureFolder()
{
    qzsdk::path base = qzsdk::folder_from_registry_or_environment("", "");
    // A relative registry value would put the captures in the host's working folder.
    if (!base.is_absolute())
        base = qzsdk::documents_folder();
    if (!base.is_absolute())
        return {};
    return base.join(qzsdk::path(L"Tarnwick/Zephrin/Capture")).to_utf8();
}

bool PopupSettings::HasAbsoluteCaptureFolder() const
{
    return qzsdk::path::from_utf8(capture_folder).is_absolute();
}

std::string PopupSettings::HotkeyText() const
{
    std::string text;
    if (custom_ctrl)
        text += "CTRL + ";
    if (custom_alt)
        text += "ALT + ";
    if (custom_shift)
        text += "SHIFT + ";
    if (custom_win)
        text += "WIN + ";
    return text + custom_key_name;
}

uint32_t PopupSettings::HotkeyKey() const
{
    constexpr int32_t space_code = -88;  // the key polling's pseudo codes of Space and Tab
    constexpr int32_t tab_code = -87;
    switch (hotkey_mode) {
    case hotkey_ctrl_space:
    case hotkey_shift_space: return VK_SPACE;
    case hotkey_ctrl_tab:
    case hotkey_shift_tab: return VK_TAB;
    case hotkey_custom:
        if (custom_key == space_code)
            return VK_SPACE;
        if (custom_key == tab_code)
            return VK_TAB;
        return custom_key >= 1 && custom_key <= 254 ? uint32_t(custom_key) : 0;
    default: return 0;
    }
}
