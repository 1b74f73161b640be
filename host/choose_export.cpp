#include "host/effects_popup.h"

// For the stand-in host's sessions only: chooses a catalogue entry by name as the popup's event 38 does,
// so a session can apply an effect or preset without the popup. 1 when the name was found.
extern "C" int32_t ZephrinChooseEntry(const char* utf8_name)
{
    EffectsPopup* state = g_effects_popup.get();
    return state && utf8_name && state->ChooseEntryByName(utf8_name) ? 1 : 0;
}
