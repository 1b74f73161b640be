#include "popup/effects_popup_window.h"

#include "gallery/gallery_popup_window.h"

#include "popup/effect_list_text.h"
#include "popup/effects_warning_popup.h"
#include "popup/entry_index.h"
#include "popup/list_file_io.h"
#include "popup/settings_file.h"
#include "popup/shortcut_label.h"
#include "popup/unread_files.h"
#include "toolkit/platform/file_system.h"
#include "toolkit/ui/event_manager.h"

using namespace qzsdk::ui;

namespace {

constexpr uint16_t popup_style_flags = 71;
constexpr color transparent{0, 0, 0, 0};

// A file left alone because it could not be read is no failure of a save: TellUnreadFiles says so.
bool written_or_unread(const qzsdk::path& folder, const wchar_t* name, bool written)
{
    return written || is_unread_file(folder.join(qzsdk::path(name)));
}

// Both list files; with `unread_is_kept` one left alone because it could not be read counts as saved.
bool write_list_files(const EffectLists& lists, const qzsdk::path& folder, bool unread_is_kept)
{
    auto saved = [&](const wchar_t* name, bool written) {
        return unread_is_kept ? written_or_unread(folder, name, written) : written;
    };
    const bool search_saved = saved(search_file_name, write_list_file(folder, search_file_name, search_text(lists)));
    const bool shortcuts_saved =
        saved(shortcuts_file_name, write_list_file(folder, shortcuts_file_name, shortcuts_text(lists)));
    return search_saved && shortcuts_saved;
}

}  // namespace

EffectsPopupWindow::EffectsPopupWindow(window* owner, PopupSettings* settings, MakerFolders folders,
                                       NewsServer news_server)
    : settings_(settings),
      folders_(std::move(folders)),
      news_server_(news_server),
      news_(std::move(news_server), settings->last_news_visit),
      shortcuts_bar_(this, [this](const event_info& info) { OnShortcutButton(info); })
{
    set_owner(owner);
    create("Effects Popup", bounds_units_, popup_style_flags);

    connect_member(this, event_id::focus_gained, &EffectsPopupWindow::OnFocusGained, this);
    connect_member(this, event_id::focus_lost, &EffectsPopupWindow::Hide, this);
    connect_member(this, event_id::char_input, &EffectsPopupWindow::OnChar, this);
    connect_member_info(this, event_id::key_down, &EffectsPopupWindow::OnKeyDown, this);
    connect_member(&root(), event_id::paint, &EffectsPopupWindow::OnPaint, this);
    connect_member_info(&root(), event_id::timer, &EffectsPopupWindow::OnTimer, this);

    BuildButtons();
    BuildList();
    shortcuts_bar_.attach_to_window(&root(), {0, 44, bounds_units_.width, 36});
    shortcuts_bar_.set_visible(false);
    tab_navigation = false;
    // The search box keeps the keyboard while the popup is open, whatever is clicked.
    click_focus = false;

    ApplyTheme(settings_->ui_color, true);
    root().set_timer(popup_timer::news_poll, 1000, false);
    if (!folders_.local.empty() && !qzsdk::get_file_info(folders_.local.join(qzsdk::path(settings_file_name))).exists)
        SerializeLocalSettings(false);
}

EffectsPopupWindow::~EffectsPopupWindow()
{
    // The news thread ends before anything it could outlive; the timers go before the widgets they tick.
    news_.Stop();
    root().kill_timer(popup_timer::flash);
    root().kill_timer(popup_timer::news_poll);
}

void EffectsPopupWindow::BuildButtons()
{
    const int32_t w = bounds_units_.width;
    struct placed {
        generic_button& button;
        int32_t x;
        const char* tip;
    };
    for (const placed& p : {placed{screenshot_button_, w - 209, "Take a screenshot (Shift + F5)"},
                            placed{gallery_button_, w - 163, "Open Gallery"}, placed{export_button_, w - 123, "Export"},
                            placed{settings_button_, w - 80, "Settings"}, placed{news_button_, w - 37, nullptr}}) {
        p.button.attach_to_window(&root(), {p.x, 8, 28, 28});
        p.button.properties.set_color("button_color_normal", transparent);
        p.button.properties.set_color("button_color_hover", transparent);
        if (p.tip)
            p.button.set_tooltip("", p.tip);
    }
    badge_button_.attach_to_window(&root(), {w - 19, 1, 18, 18});
    badge_button_.properties.set_color("button_color_normal", transparent);
    badge_button_.properties.set_color("button_color_hover", transparent);
    badge_button_.properties.set_string("button_font_name", "tahoma");
    badge_button_.properties.set_scalar("button_font_style", int32_t(0));
    badge_button_.properties.set_scalar("button_font_weight", int32_t(2));
    badge_button_.set_visible(false);

    connect_member(&screenshot_button_, event_id::activated, &EffectsPopupWindow::TakeScreenshot, this);
    connect_member(&export_button_, event_id::mouse_down, &EffectsPopupWindow::ShowExportMenu, this);
    for (generic_button* button : {&gallery_button_, &settings_button_, &news_button_, &badge_button_})
        connect_member_info(button, event_id::activated, &EffectsPopupWindow::OnButton, this);
}

void EffectsPopupWindow::BuildList()
{
    const int32_t w = bounds_units_.width;
    const int32_t h = bounds_units_.height;
    search_box_.attach_to_window(&root(), {51, 8, w - 281, 30});
    search_box_.properties.set_default_font("input_font_name");
    search_box_.properties.set_scalar("input_font_size", 20.0f);
    connect_member(&search_box_, event_id::value_changed, &EffectsPopupWindow::UpdateSearch, this);
    connect_member(&search_box_, event_id::activated, &EffectsPopupWindow::ApplySelection, this);
    connect_member(&search_box_, event_id::cancelled, &EffectsPopupWindow::Hide, this);
    connect_member_info(&search_box_.inside, event_id::key_down, &EffectsPopupWindow::OnListKey, this);

    list_container_.attach_to_window(&root(), {1, top_area_.height, w - 20, h - top_area_.height - 1});
    list_panel_.attach_to_window(&list_container_, {0, 0, list_container_.bounds().width, 20});
    scroll_bar_.attach_to_window(&root(), {w - 18, top_area_.height + 1, 16, h - top_area_.height - 3});
    scroll_bar_.set_target(&list_panel_);
    BuildRowPool();
}

std::vector<EffectsTheme> EffectsPopupWindow::BuildThemes()
{
    return build_effects_themes();
}

void EffectsPopupWindow::RunCommand(int32_t& result, const std::string& project_name, const std::string& comp_name,
                                    const std::string& layer_name, int32_t command)
{
    project_name_ = project_name;
    comp_name_ = comp_name;
    layer_name_ = layer_name;
    has_composition_ = !comp_name.empty();
    has_layer_ = !layer_name.empty();
    result = -1;
    switch (command) {
    case popup_command_show:
        if (!busy_)
            Show();
        break;
    case popup_command_screenshot:
        TakeScreenshot();
        break;
    case popup_command_export_menu:
        ShowExportMenu();
        break;
    case popup_command_gallery:
        ShowGallery();
        break;
    case popup_command_preferences:
        ShowPreferences();
        break;
    case popup_command_news_page:
        OpenNewsPage();
        break;
    case popup_command_save:
        SerializeLocalSettings(true);
        TellUnreadFiles();
        break;
    case popup_command_news_count:
        result = news_count_;
        break;
    default:
        break;
    }
}

void EffectsPopupWindow::SetEffects(std::vector<EffectEntry> entries)
{
    // The rows of the last search point into the list being replaced.
    found_ = {};
    selected_ = no_row;
    effects_header_.set_visible(false);
    presets_header_.set_visible(false);
    ShowRowsInView();
    entries_ = std::move(entries);
    search_.set_entries(entries_);
    LoadSearchFile();
    LoadShortcutsFile();
    // A visible list would otherwise stay blank until the next key.
    if (is_visible() && has_layer_)
        UpdateSearch();
}

const EffectEntry* EffectsPopupWindow::ResolveOverride(const EffectEntry* chosen) const
{
    for (const EffectAlias& alias : lists_.aliases)
        if (alias.target == chosen && alias.override_target)
            return alias.override_target;
    return chosen;
}

void EffectsPopupWindow::AddToList(const EffectEntry* entry, bool blacklist)
{
    if (!entry)
        return;
    (blacklist ? lists_.blacklist : lists_.aliases).push_back({entry->match_name, entry, nullptr});
    SaveEffectFiles();
    TellUnreadFiles();
    UpdateSearch();
}

void EffectsPopupWindow::CreateShortcut(const EffectEntry* entry)
{
    for (EffectShortcut& slot : lists_.shortcuts) {
        if (entry && !slot.target) {
            slot = {shortcut_label(entry->name), entry};
            SaveEffectFiles();
            TellUnreadFiles();
            break;
        }
    }
    Hide();
}

void EffectsPopupWindow::ReplaceShortcut(const EffectEntry* entry, uint64_t slot)
{
    if (entry && slot < lists_.shortcuts.size() && lists_.shortcuts[slot].target) {
        lists_.shortcuts[slot] = {shortcut_label(entry->name), entry};
        SaveEffectFiles();
        TellUnreadFiles();
    }
    Hide();
}

void EffectsPopupWindow::LoadSearchFile()
{
    ReadSearchFile(lists_, folders_.folder_to_read(search_file_name));
}

void EffectsPopupWindow::LoadShortcutsFile()
{
    ReadShortcutsFile(lists_, folders_.folder_to_read(shortcuts_file_name));
}

void EffectsPopupWindow::ReadSearchFile(EffectLists& lists, const qzsdk::path& folder) const
{
    read_search_text(read_list_file(folder, search_file_name), EntryIndex(entries_), lists);
}

void EffectsPopupWindow::ReadShortcutsFile(EffectLists& lists, const qzsdk::path& folder) const
{
    read_shortcuts_text(read_list_file(folder, shortcuts_file_name), EntryIndex(entries_), lists);
}

bool EffectsPopupWindow::WriteEffectFiles(const EffectLists& lists, const qzsdk::path& folder)
{
    return write_list_files(lists, folder, false);
}

bool EffectsPopupWindow::SaveEffectFiles() const
{
    return WriteEffectFiles(lists_, folders_.local);
}

void EffectsPopupWindow::SaveEffectFilesAndTell()
{
    const bool search_lost = SaveListLosesChanges(search_file_name, &search_text, &EffectsPopupWindow::ReadSearchFile);
    const bool shortcuts_lost =
        SaveListLosesChanges(shortcuts_file_name, &shortcuts_text, &EffectsPopupWindow::ReadShortcutsFile);
    if (search_lost || shortcuts_lost)
        Warn("Failed to Save", "Unable to save the favourites, blacklist and shortcuts to disk.");
}

bool EffectsPopupWindow::SaveListLosesChanges(const wchar_t* name, std::string (*text)(const EffectLists&),
                                              ListReader read) const
{
    const std::string lists_text = text(lists_);
    if (written_or_unread(folders_.local, name, write_list_file(folders_.local, name, lists_text)))
        return false;
    // What the next session will read: the local file, or the common one where there is none.
    EffectLists stored;
    (this->*read)(stored, folders_.folder_to_read(name));
    return text(stored) != lists_text;
}

void EffectsPopupWindow::TellUnreadFiles()
{
    std::vector<std::string> names = take_untold_unread_files();
    if (names.empty())
        return;
    std::string list;
    for (const std::string& name : names)
        list += (list.empty() ? "\"" : ", \"") + name + "\"";
    Warn("Not Saved", "Zephrin could not read " + list + ", so it leaves " +
                          (names.size() == 1 ? "that file" : "those files") +
                          " untouched: changes made in this session are not saved there.");
}

void EffectsPopupWindow::SaveAndTell()
{
    if (!SerializeLocalSettings(true))
        Warn("Failed to Save", "Unable to save current settings to disk.");
    TellUnreadFiles();
}

void EffectsPopupWindow::Warn(const char* title, const std::string& text)
{
    RECT frame{};
    GetWindowRect(handle(), &frame);
    const point centre{holder().to_units_x((frame.left + frame.right) / 2),
                       holder().to_units_y((frame.top + frame.bottom) / 2)};
    EffectsWarningPopup warning(this, centre, current_theme_, title, text);
    warning.show_modal();
}

bool EffectsPopupWindow::SerializeSettings(const PopupSettings& settings, const EffectLists& lists,
                                           const qzsdk::path& folder, bool with_lists)
{
    bool saved = !folder.empty() &&
                 written_or_unread(folder, settings_file_name,
                                   write_settings_file(folder.join(qzsdk::path(settings_file_name)), settings));
    // Never a relative folder: it would be made in the host's working folder.
    if (settings.HasAbsoluteCaptureFolder())
        qzsdk::create_directories(qzsdk::path::from_utf8(settings.capture_folder));
    if (with_lists)
        saved = write_list_files(lists, folder, true) && saved;
    return saved;
}

bool EffectsPopupWindow::SerializeLocalSettings(bool with_lists) const
{
    return SerializeSettings(*settings_, lists_, folders_.local, with_lists);
}
