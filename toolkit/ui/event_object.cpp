#include "toolkit/ui/event_object.h"

#include "toolkit/ui/event_manager.h"

namespace qzsdk::ui {

event_object::~event_object()
{
    event_manager::instance().remove_object(this);
}

}  // namespace qzsdk::ui
