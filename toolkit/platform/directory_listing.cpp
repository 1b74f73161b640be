#include "toolkit/platform/directory_listing.h"

namespace qzsdk {

directory_iterator::directory_iterator(const directory_listing& listing)
{
    if (!listing.folder.empty()) {
        listing_ = &listing;
        if (!open_folder({}))
            listing_ = nullptr;
    }
}

bool directory_iterator::open_folder(path relative_folder)
{
    find_.reset();
    path pattern = listing_->folder.join(relative_folder).join(L"*");
    find_.reset(FindFirstFileW(pattern.c_str(), &record_));
    if (!find_)
        return false;
    relative_folder_ = std::move(relative_folder);
    take_record();
    return true;
}

void directory_iterator::next()
{
    if (!listing_)
        return;
    if (find_ && FindNextFileW(find_.get(), &record_)) {
        take_record();
        return;
    }
    // A sub-folder that cannot be opened (removed meanwhile, access denied) is passed over.
    while (!pending_folders_.empty()) {
        path folder = std::move(pending_folders_.front());
        pending_folders_.pop_front();
        if (open_folder(std::move(folder)))
            return;
    }
    find_.reset();
    listing_ = nullptr;
}

void directory_iterator::take_record()
{
    std::wstring_view name = record_.cFileName;
    DWORD attributes = record_.dwFileAttributes;
    entry_.is_folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
    entry_.relative_path = relative_folder_.join(record_.cFileName);
    // Links are not followed: a link to an ancestor would never end, one elsewhere would leave the tree.
    constexpr DWORD not_walked = FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_REPARSE_POINT;
    if (listing_->recursive && entry_.is_folder && !(attributes & not_walked) && name != L"." && name != L"..")
        pending_folders_.push_back(entry_.relative_path);
}

}  // namespace qzsdk
