#include "popup/settings_file.h"

#include "toolkit/platform/chunk_file.h"

#include <string_view>

bool write_settings_file(const qzsdk::path& file, const PopupSettings& settings)
{
    qzsdk::chunk_file chunks(file, qzsdk::chunk_file_write);
    for (const SettingsRecord& record : settings_records(settings))
        chunks.write_chunk(record.type, record.payload.data(), static_cast<uint32_t>(record.payload.size()));
    return chunks.close();
}

bool read_settings_file(const qzsdk::path& file, PopupSettings& settings, NewsVisitRecord news_visit)
{
    qzsdk::chunk_file chunks(file, qzsdk::chunk_file_read);
    bool any = false;
    while (uint32_t type = chunks.next_chunk()) {
        std::string_view payload(reinterpret_cast<const char*>(chunks.chunk_data()), chunks.chunk_length());
        apply_settings_record(settings, type, payload, news_visit);
        any = true;
    }
    return any;
}
