#include "toolkit/platform/replacement_file.h"

#include "toolkit/platform/atomic_write.h"

#include <windows.h>

namespace qzsdk {

replacement_file::replacement_file(path target)
    : target_(std::move(target)), temporary_(temporary_path_beside(target_)), file_(binary_file::create(temporary_))
{
}

replacement_file::~replacement_file()
{
    file_.close();
    if (!committed_)
        DeleteFileW(temporary_.c_str());
}

bool replacement_file::commit()
{
    if (!file_ || !file_.flush())
        return false;
    file_.close();
    committed_ = rename_over(temporary_, target_);
    return committed_;
}

}  // namespace qzsdk
