// The gallery window's export menu and context menu.
#include "gallery/gallery_popup_window.h"
#include "toolkit/platform/shell.h"
#include "toolkit/ui/popup_menu.h"

using namespace qzsdk::ui;

namespace {

enum menu_item : uint32_t {
    item_copy = 3,
    item_save_jpg = 4,
    item_save_png = 5,
    item_delete = 7,
    item_separator = 8,
    item_reveal = 9,
};

constexpr uint32_t top_level = 0xFFFFFFFFu;

}  // namespace

void GalleryPopupWindow::ShowExportMenu()
{
    popup_menu_owner menu = popup_menu::create();
    menu->add_item(2, top_level, "Save as PNG");
    menu->add_item(3, top_level, "Save as JPG");
    const point origin = export_button_.window_position();
    POINT at{holder().to_pixels_x(origin.x), holder().to_pixels_y(origin.y + export_button_.bounds().height)};
    ClientToScreen(handle(), &at);
    const int command = int(TrackPopupMenuEx(menu->handle(), TPM_RETURNCMD, at.x, at.y, handle(), nullptr));
    menu.reset();
    const std::vector<GalleryThumbnail*> selected = selection_;
    if (command == 3)
        SaveImages(selected, 1);
    else if (command == 4)
        SaveImages(selected, 2);
}

void GalleryPopupWindow::ShowContextMenu(point position, bool from_preview, const qzsdk::path& image_file)
{
    // The menu's loop runs the picture timer, which can destroy a thumbnail whose picture failed and replace a
    // cell's picture: only paths cross it, and the thumbnails are looked up again afterwards.
    std::vector<qzsdk::path> files;
    if (from_preview) {
        if (!image_file.empty())
            files.push_back(image_file);
    } else {
        for (GalleryThumbnail* thumbnail : selection_)
            files.push_back(thumbnail->GetPath());
    }
    const size_t n = selection_.size();
    const bool has_image = !image_file.empty();
    popup_menu_owner menu = popup_menu::create();
    menu->add_item(item_copy, top_level, "Copy to Clipboard");
    menu->add_item(item_save_png, top_level, "Save to PNG");
    menu->add_item(item_save_jpg, top_level, "Save to JPG");
    menu->add_item(item_delete, top_level, "Delete");
    menu->add_separator(item_separator, top_level);
    menu->add_item(item_reveal, top_level, "Open in Explorer");
    menu->set_enabled(item_copy, from_preview ? has_image : n == 1);
    for (uint32_t item : {item_save_png, item_save_jpg, item_delete})
        menu->set_enabled(item, from_preview ? has_image : n >= 1);
    menu->set_enabled(item_reveal, from_preview || n == 1);
    POINT at{holder().to_pixels_x(position.x), holder().to_pixels_y(position.y)};
    ClientToScreen(handle(), &at);
    const int command = int(TrackPopupMenuEx(menu->handle(), TPM_RETURNCMD, at.x, at.y, handle(), nullptr));
    menu.reset();
    if (command < 4 || command > 10)
        return;
    std::vector<GalleryThumbnail*> list;
    for (const qzsdk::path& file : files)
        if (GalleryThumbnail* thumbnail = FindThumbnail(file))
            list.push_back(thumbnail);
    switch (uint32_t(command - 1)) {
    case item_copy:
        if (has_image)
            CopyImage(image_file);
        break;
    case item_save_png:
        SaveImages(list, 1);
        break;
    case item_save_jpg:
        SaveImages(list, 2);
        break;
    case item_delete:
        ConfirmDelete(list, nullptr);
        break;
    case item_reveal:
        if (!list.empty() && (!from_preview || has_image))
            qzsdk::shell_reveal(list[0]->GetPath());
        break;
    default:
        break;
    }
}

void GalleryPopupWindow::OnPreviewMouseDown(image_panel& cell, const event_info& info)
{
    if (info.param != 2)
        return;
    ShowContextMenu(cursor_position(&root()), true, preview_.FileOfCell(cell));
}
