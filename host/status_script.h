#pragma once
// The text the host's panel runs to draw itself: the stored hotkey mode and the six button images.
#include "popup/maker_folders.h"

#include <cstdint>
#include <ostream>
#include <string>

// The first hotkey-mode record of the settings file (local copy first, else the common one); 0 when there
// is no file or no such record.
uint32_t ReadStoredHotkeyMode(const MakerFolders& folders);

// One line var buttonNHex = "..."; holding the image, reduced to a quarter of its size, as a PNG whose every
// byte is a \xNN escape, so the literal is valid script whatever the bytes are. Throws qz_exception when
// the image cannot be decoded, scaled or encoded.
void PngToScriptHex(std::ostream& out, const uint8_t* png, uint64_t length, int32_t index);

std::string BuildStatusScript(const MakerFolders& folders);
