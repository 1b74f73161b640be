#pragma once
#include "toolkit/ui/window.h"

// Centres a popup on its owner and lifts it 30 units, so that it does not hide the row it was opened from.
void CenterAboveOwner(qzsdk::ui::window& popup);
