#pragma once
// Export of the settings and the three lists into one "*.zqs" folder archive, and import of such a file
// back into them. Both go through a scratch folder under the maker folder.
#include "popup/effect_entry.h"
#include "popup/popup_settings.h"
#include "toolkit/platform/path.h"

#include <string_view>

class EffectsPopupWindow;

// What the user is told of an operation's outcome.
struct TransferMessage {
    std::string_view title;
    std::string_view text;
    bool operator==(const TransferMessage&) const = default;
};

class SettingsTransfer {
public:
    // The popup gives the maker folder and the catalogue that imported list lines are resolved against.
    explicit SettingsTransfer(const EffectsPopupWindow& popup);

    TransferMessage Export(const PopupSettings& settings, const EffectLists& lists, const qzsdk::path& archive) const;

    // All or nothing: the file is unpacked and every part of it read before anything is replaced, so a
    // damaged, hostile or incomplete file leaves the settings and lists exactly as they were.
    TransferMessage Import(const qzsdk::path& archive, PopupSettings& settings, EffectLists& lists) const;

private:
    const EffectsPopupWindow& popup_;
};
