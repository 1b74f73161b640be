#include "host/session/session_exports.h"

#include "host/effects_popup.h"
#include "host/session/choose_entry_by_name.h"

extern "C" int32_t ZephrinChooseEntry(const char* utf8_name)
{
    EffectsPopup* state = g_effects_popup.get();
    return state && utf8_name && ChooseEntryByName(*state, utf8_name) ? 1 : 0;
}
