#include "popup/settings_file.h"

#include "popup/unread_files.h"
#include "toolkit/platform/chunk_file.h"
#include "toolkit/platform/file_system.h"
#include "toolkit/platform/whole_file.h"

#include <string_view>

namespace {

// Far beyond any record of ours; a larger file is not a settings file.
constexpr uint64_t max_settings_file_size = 1ull << 20;

}  // namespace

bool write_settings_file(const qzsdk::path& file, const PopupSettings& settings)
{
    if (is_unread_file(file))
        return false;
    qzsdk::chunk_file chunks(file, qzsdk::chunk_file_write);
    for (const SettingsRecord& record : settings_records(settings))
        chunks.write_chunk(record.type, record.payload.data(), static_cast<uint32_t>(record.payload.size()));
    return chunks.close();
}

bool read_settings_file(const qzsdk::path& file, PopupSettings& settings, NewsVisitRecord news_visit)
{
    // A file that is there but cannot be read must not be taken for a missing one: it would be saved over.
    qzsdk::whole_file_state state = qzsdk::read_whole_file(file, max_settings_file_size).state;
    if (state == qzsdk::whole_file_state::unreadable) {
        remember_unread_file(file);
        return false;
    }
    forget_unread_file(file);
    qzsdk::chunk_file chunks(file, qzsdk::chunk_file_read);
    bool any = false;
    while (uint32_t type = chunks.next_chunk()) {
        std::string_view payload(reinterpret_cast<const char*>(chunks.chunk_data()), chunks.chunk_length());
        apply_settings_record(settings, type, payload, news_visit);
        any = true;
    }
    return any;
}

void read_local_or_common_settings(const MakerFolders& folders, PopupSettings& settings)
{
    const qzsdk::path& folder = folders.folder_to_read(settings_file_name);
    if (folder.empty())
        return;
    std::string capture_folder = settings.capture_folder;
    read_settings_file(folder.join(qzsdk::path(settings_file_name)), settings);
    bool from_common = &folder == &folders.common;
    if (from_common && qzsdk::get_file_info(qzsdk::path::from_utf8(settings.capture_folder)).kind != qzsdk::file_kind_folder)
        settings.capture_folder = capture_folder;
    if (!settings.HasAbsoluteCaptureFolder())
        settings.capture_folder = PopupSettings::DefaultCaptureFolder();
}
