#include "popup/maker_folders.h"

#include "toolkit/platform/file_system.h"
#include "toolkit/platform/special_folders.h"

#include <string>

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
