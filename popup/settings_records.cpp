#include "popup/settings_records.h"

#include <cstring>

namespace {

enum RecordType : uint32_t {
    record_ui_color = 1,
    record_hotkey_mode = 2,
    record_capture_folder = 3,
    record_full_resolution = 4,
    record_last_news_visit = 5,
    record_custom_key_name = 7,
    record_custom_key = 8,
    record_custom_ctrl = 9,
    record_custom_alt = 10,
    record_custom_shift = 11,
    record_custom_win = 12,
};

template <typename Number>
SettingsRecord number_record(uint32_t type, Number value)
{
    std::string payload(sizeof value, '\0');
    std::memcpy(payload.data(), &value, sizeof value);  // little-endian, as the file is
    return {type, std::move(payload)};
}

template <typename Number>
void read_number(std::string_view payload, Number& field)
{
    if (payload.size() >= sizeof field)
        std::memcpy(&field, payload.data(), sizeof field);
}

void read_text(std::string_view payload, std::string& field)
{
    field = payload.substr(0, payload.find('\0'));
}

}  // namespace

std::vector<SettingsRecord> settings_records(const PopupSettings& settings)
{
    return {
        number_record(record_ui_color, settings.ui_color),
        number_record(record_hotkey_mode, settings.hotkey_mode),
        {record_capture_folder, settings.capture_folder},
        number_record(record_full_resolution, static_cast<uint8_t>(settings.full_resolution ? 1 : 0)),
        number_record(record_last_news_visit, settings.last_news_visit),
        {record_custom_key_name, settings.custom_key_name},
        number_record(record_custom_key, settings.custom_key),
        number_record(record_custom_ctrl, settings.custom_ctrl),
        number_record(record_custom_alt, settings.custom_alt),
        number_record(record_custom_shift, settings.custom_shift),
        number_record(record_custom_win, settings.custom_win),
    };
}

void apply_settings_record(PopupSettings& settings, uint32_t type, std::string_view payload,
                           NewsVisitRecord news_visit)
{
    switch (type) {
    case record_ui_color: read_number(payload, settings.ui_color); break;
    case record_hotkey_mode: read_number(payload, settings.hotkey_mode); break;
    case record_capture_folder: read_text(payload, settings.capture_folder); break;
    case record_full_resolution: {
        uint8_t flag = settings.full_resolution ? 1 : 0;
        read_number(payload, flag);
        settings.full_resolution = flag != 0;
        break;
    }
    case record_last_news_visit:
        if (news_visit == NewsVisitRecord::read)
            read_number(payload, settings.last_news_visit);
        break;
    case record_custom_key_name: read_text(payload, settings.custom_key_name); break;
    case record_custom_key: read_number(payload, settings.custom_key); break;
    case record_custom_ctrl: read_number(payload, settings.custom_ctrl); break;
    case record_custom_alt: read_number(payload, settings.custom_alt); break;
    case record_custom_shift: read_number(payload, settings.custom_shift); break;
    case record_custom_win: read_number(payload, settings.custom_win); break;
    default: break;
    }
}
