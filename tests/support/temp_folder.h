#pragma once
// A fresh folder under the temporary folder for one test, removed with everything in it afterwards, and
// plain byte helpers that do not go through the code under test.
#include "toolkit/platform/path.h"

#include <string>

namespace qzsdk::test {

class temp_folder {
public:
    temp_folder();
    ~temp_folder();
    temp_folder(const temp_folder&) = delete;
    temp_folder& operator=(const temp_folder&) = delete;

    const path& get() const { return folder_; }
    path operator/(const wchar_t* name) const { return folder_.join(name); }

private:
    path folder_;
};

void write_bytes(const path& file, const std::string& bytes);
// The whole file, or "<missing>" when it cannot be opened.
std::string read_bytes(const path& file);
void make_folder(const path& folder);

}  // namespace qzsdk::test
