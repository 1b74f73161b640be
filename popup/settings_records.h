#pragma once
// The tagged records of "effects_settings", apart from the chunk file that holds them.
#include "popup/popup_settings.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct SettingsRecord {
    uint32_t type;
    std::string payload;
};

// The eleven records in the order they are written.
std::vector<SettingsRecord> settings_records(const PopupSettings& settings);

// One record read in file order overwrites its field, so the last of a type wins. A number whose payload
// is shorter than the field leaves the field as it was; a text ends at its first zero byte; unknown types
// are ignored. The import leaves the news visit alone.
enum class NewsVisitRecord { read, skip };
void apply_settings_record(PopupSettings& settings, uint32_t type, std::string_view payload,
                           NewsVisitRecord news_visit = NewsVisitRecord::read);
