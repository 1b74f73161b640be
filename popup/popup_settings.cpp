#include "popup/popup_settings.h"

#include "toolkit/platform/special_folders.h"
#include "toolkit/platform/text.h"

namespace {

std::string default_capture_folder()
{
    qzsdk::path base = qzsdk::folder_from_registry_or_environment("", "");
    // Without any base folder a relative capture folder would land in the host's working folder.
    if (base.empty())
        return {};
    return base.join(qzsdk::path(L"Tarnwick/Zephrin/Capture")).to_utf8();
}

}  // namespace

PopupSettings::PopupSettings()
    : capture_folder(default_capture_folder()), last_news_visit(qzsdk::clock_now() / qzsdk::ticks_per_second)
{
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
