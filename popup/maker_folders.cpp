#include "popup/maker_folders.h"

#include "toolkit/platform/file_system.h"
#include "toolkit/platform/special_folders.h"

#include <string>

const wchar_t* const settings_file_name = L"effects_settings";
const wchar_t* const search_file_name = L"effects_search.txt";
const wchar_t* const shortcuts_file_name = L"effects_shortcuts.txt";

namespace {

qzsdk::path maker_folder_under(const qzsdk::path& base)
{
    // Without the special folder there is no maker folder, rather than a relative one in the working folder.
    return base.empty() ? qzsdk::path() : base.join(qzsdk::path(L"Tarnwick"));
}

}  // namespace

MakerFolders MakerFolders::standard()
{
    return {maker_folder_under(qzsdk::local_app_data_folder()), maker_folder_under(qzsdk::common_app_data_folder())};
}

const qzsdk::path& MakerFolders::folder_to_read(std::wstring_view file_name) const
{
    bool local_copy = !local.empty() && qzsdk::get_file_info(local.join(qzsdk::path(std::wstring(file_name)))).exists;
    return local_copy ? local : common;
}
