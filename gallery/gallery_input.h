#pragma once
// Small helpers shared by the gallery's widgets: the modifier keys of a click, and plain icon buttons.
#include "toolkit/ui/generic_button.h"

// Ctrl held without right Alt (AltGr also reports Ctrl).
bool GalleryCtrlHeld();
bool GalleryShiftHeld();
// Clears the button's face and borders, so only its icon shows.
void MakeButtonTransparent(qzsdk::ui::generic_button& button);
