#include "preferences/preferences_record_list.h"

#include "preferences/preferences_list_editing.h"

bool AliasRecordList::move(size_t from, size_t drop_index)
{
    return MoveRecord(*records_, from, drop_index);
}

bool AliasRecordList::erase(size_t index)
{
    return RemoveRecord(*records_, index);
}

bool ShortcutRecordList::move(size_t from, size_t drop_index)
{
    return MoveRecord(*slots_, from, drop_index);
}

bool ShortcutRecordList::erase(size_t index)
{
    return ClearShortcut(*slots_, index);
}
