#pragma once
#include "popup/popup_settings.h"

// One poll of the configured hotkey: true on the rising edge of its key while its modifier condition holds
// (Ctrl or Shift with Space or Tab, whatever else is held; or the custom key with exactly its modifiers).
bool HotkeyFired(const PopupSettings& settings);
