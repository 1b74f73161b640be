#include "host/status_script.h"

#include "popup/effects_theme.h"
#include "toolkit/platform/chunk_file.h"
#include "toolkit/platform/qz_exception.h"
#include "toolkit/ui/image_handle.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <sstream>

namespace {

constexpr uint32_t hotkey_mode_record = 2;

// A quarter of the size in units; never below one pixel, which the scaler would refuse.
uint32_t QuarterSize(uint32_t pixels, float scale)
{
    return std::max(1u, static_cast<uint32_t>(static_cast<uint32_t>(pixels / scale) * 0.25));
}

}  // namespace

uint32_t ReadStoredHotkeyMode(const MakerFolders& folders)
{
    const qzsdk::path& folder = folders.folder_to_read(settings_file_name);
    if (folder.empty())
        return 0;
    qzsdk::chunk_file file(folder.join(qzsdk::path(settings_file_name)), qzsdk::chunk_file_read);
    while (uint32_t type = file.next_chunk()) {
        // A record too short for its number is passed over, as the settings reader does.
        if (type != hotkey_mode_record || file.chunk_length() < sizeof(uint32_t))
            continue;
        uint32_t mode = 0;
        std::memcpy(&mode, file.chunk_data(), sizeof mode);
        return mode;
    }
    return 0;
}

void PngToScriptHex(std::ostream& out, const uint8_t* png, uint64_t length, int32_t index)
{
    qzsdk::ui::image_handle picture(std::make_unique<qzsdk::ui::image>());
    if (!picture->load_from_memory(png, length, 1.0f))
        throw qz_exception("unable to decode a button image");
    uint32_t width = QuarterSize(picture->width(), picture->scale());
    uint32_t height = QuarterSize(picture->height(), picture->scale());
    if (width != picture->width() || height != picture->height())
        picture->scale_to(width, height);
    std::vector<uint8_t> encoded = picture.encode_png();
    if (encoded.empty())
        throw qz_exception("unable to encode a button image");
    static constexpr char digits[] = "0123456789abcdef";
    std::string literal;
    literal.reserve(encoded.size() * 4);
    for (uint8_t byte : encoded) {
        literal += "\\x";
        literal += digits[byte >> 4];
        literal += digits[byte & 0xF];
    }
    out << "var button" << index << "Hex = \"" << literal << "\";\n";
}

std::string BuildStatusScript(const MakerFolders& folders)
{
    std::ostringstream script;
    script << "var shortcutValue = " << ReadStoredHotkeyMode(folders) << ";\n";
    // The panel's buttons wear the Dark icons.
    const EffectsTheme dark = build_effects_themes().front();
    const EffectsTheme::embedded_image* buttons[] = {&dark.screenshot_image, &dark.export_image,
                                                     &dark.gallery_image,    &dark.settings_image,
                                                     &dark.news_image,       &dark.badge_image};
    int32_t index = 0;
    for (const EffectsTheme::embedded_image* button : buttons)
        PngToScriptHex(script, button->data, button->length, index++);
    return script.str();
}
