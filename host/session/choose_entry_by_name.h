#pragma once
// Only the stand-in's sessions and the tests choose an entry by its name; the popup chooses by its list.
#include <string_view>

class EffectsPopup;

// Chooses the catalogue entry of that name as the popup would; false when there is none or no popup yet.
bool ChooseEntryByName(EffectsPopup& state, std::string_view name);
