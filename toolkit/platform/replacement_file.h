#pragma once
// A file written beside its target and put in the target's place only once complete: a failure or a crash
// on the way leaves the target as it was, and the partial file is deleted.
#include "toolkit/platform/binary_file.h"
#include "toolkit/platform/path.h"

namespace qzsdk {

class replacement_file {
public:
    explicit replacement_file(path target);
    ~replacement_file();
    replacement_file(const replacement_file&) = delete;
    replacement_file& operator=(const replacement_file&) = delete;

    // Closed when the temporary file could not be created.
    binary_file& file() { return file_; }
    // Flushes and renames the file over the target; false (and the file deleted) when that fails.
    bool commit();

private:
    path target_;
    path temporary_;
    binary_file file_;
    bool committed_ = false;
};

}  // namespace qzsdk
