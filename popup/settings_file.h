#pragma once
// "effects_settings": the settings record as a chunk file.
#include "popup/maker_folders.h"
#include "popup/popup_settings.h"
#include "popup/settings_records.h"
#include "toolkit/platform/path.h"

// Replaces the file whole, or leaves the old one as it was and returns false; an unread file is left alone.
bool write_settings_file(const qzsdk::path& file, const PopupSettings& settings);

// Takes the file's records in order into the settings; false when the file has no records to give. A file
// that exists but cannot be read is remembered as unread and not written over in this session.
bool read_settings_file(const qzsdk::path& file, PopupSettings& settings,
                        NewsVisitRecord news_visit = NewsVisitRecord::read);

// The local settings file when it exists, else the common one; a capture folder from the common copy is
// taken only when that folder exists on this machine, and an empty or relative one gives the default.
void read_local_or_common_settings(const MakerFolders& folders, PopupSettings& settings);
