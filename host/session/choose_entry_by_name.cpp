#include "host/session/choose_entry_by_name.h"

#include "host/effects_popup.h"
#include "popup/effects_popup_window.h"
#include "popup/entry_index.h"
#include "toolkit/platform/text.h"

bool ChooseEntryByName(EffectsPopup& state, std::string_view name)
{
    EffectsPopupWindow* popup = state.popup_window();
    if (!popup)
        return false;
    const EffectEntry* entry = EntryIndex(popup->entries()).find(qzsdk::to_lower(qzsdk::trim(name)));
    if (entry)
        state.OnEffectChosen(*popup->ResolveOverride(entry));
    return entry != nullptr;
}
