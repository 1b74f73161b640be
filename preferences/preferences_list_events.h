#pragma once
#include "toolkit/ui/event_info.h"

// Where the list rows hand their clicks and button commands: the preferences window, which edits the
// lists. A true answer means the sender may have been destroyed by a rebuild.
class PreferencesListEvents {
public:
    virtual bool OnListEvent(const qzsdk::ui::event_info& info) = 0;

protected:
    ~PreferencesListEvents() = default;
};
