#include "preferences/preferences_effect_drag.h"

#include "preferences/popup_style.h"
#include "toolkit/ui/event_id.h"
#include "toolkit/ui/event_manager.h"

using namespace qzsdk::ui;

void PlaceOnScreen(window& target, const rect& units, bool shown, HWND behind)
{
    // Made before the window they are dragged over, and never activated, nothing else would bring them in
    // front of it: each placing puts them above every window, the topmost ones too, as a drag image is.
    const native_window& holder = target.holder();
    SetWindowPos(target.handle(), behind, holder.to_pixels_x(units.x), holder.to_pixels_y(units.y),
                 holder.to_pixels_x(units.width), holder.to_pixels_y(units.height),
                 SWP_NOACTIVATE | (shown ? SWP_SHOWWINDOW : 0));
}

void KeepOffTaskbar(window& target)
{
    LONG_PTR style = GetWindowLongPtrW(target.handle(), GWL_EXSTYLE);
    SetWindowLongPtrW(target.handle(), GWL_EXSTYLE, (style | WS_EX_TOOLWINDOW) & ~WS_EX_APPWINDOW);
}

PreferencesEffectDrag::PreferencesEffectDrag()
{
    create("Effects Popup", rect{0, 0, 30, 30}, 71);
    connect_member(&root(), event_id::paint, &PreferencesEffectDrag::OnPaint, this);
    event_manager::instance().connect(this, this, event_id::hidden, [this](const event_info&) { row_ = nullptr; });
    SetWindowLongPtrW(handle(), GWL_EXSTYLE, GetWindowLongPtrW(handle(), GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(handle(), 0, 127, LWA_ALPHA);
    KeepOffTaskbar(*this);
}

PreferencesEffectDrag::~PreferencesEffectDrag() = default;

void PreferencesEffectDrag::Take(PreferencesEffectSlot* row, const PreferencesRecordList* list, uint64_t index,
                                 PreferencesColumns columns, const rect& screen_bounds, point grab_point)
{
    row_ = row;
    list_ = list;
    index_ = index;
    columns_ = columns;
    bounds_ = screen_bounds;
    grab_point_ = grab_point;
    // Shown without activation: the preferences window keeps the focus and the mouse capture.
    PlaceOnScreen(*this, bounds_, true);
    set_visible(true);
    root().invalidate(false);
}

void PreferencesEffectDrag::Follow(point cursor, HWND behind)
{
    PlaceOnScreen(*this,
                  rect{bounds_.x - grab_point_.x + cursor.x, bounds_.y - grab_point_.y + cursor.y, bounds_.width,
                       bounds_.height},
                  row_ != nullptr, behind);
}

void PreferencesEffectDrag::Drop()
{
    set_visible(false);
    row_ = nullptr;
}

void PreferencesEffectDrag::OnPaint()
{
    if (!row_ || !list_)
        return;
    const widget& face = root();
    FillWidget(face, color{0.224f, 0.416f, 0.894f, 1.0f});
    if (!BeginRowText(face, color{1, 1, 1, 1}))
        return;
    const PreferencesRecordList& list = *list_;
    uint64_t index = index_;
    if (index >= list.size())
        return;
    const PreferencesColumns& columns = columns_;
    int32_t w = face.bounds().width;
    int32_t h = face.bounds().height;
    color line{1, 1, 1, 0.4f};
    if (columns.number) {
        DrawGridLine(face, 30, h, line);
        DrawRowNumber(face, index, h);
    }
    // The ghost's texts are not cut: a clip as wide as the window.
    rect whole{0, 0, w, h};
    if (const EffectEntry* target = list.target(index)) {
        int32_t x0 = columns.name_left();
        DrawRowText(face, rect{x0, 0, columns.label ? w - 193 : w - 10, h}, whole, target->name);
    }
    if (columns.override_column) {
        DrawGridLine(face, columns.override_line(w), h, line);
        if (const EffectEntry* over = list.override_target(index))
            DrawRowText(face, rect{w - 142, 0, 142, h}, whole, over->name);
    }
    if (columns.label) {
        DrawGridLine(face, columns.label_line(w), h, line);
        if (list.text_differs(index))
            DrawRowText(face, rect{w - columns.override_room() - 92, 0, 92, h}, whole, list.text(index));
    }
}
