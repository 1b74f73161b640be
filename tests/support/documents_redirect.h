#pragma once
// Points the user's Documents folder at a fresh folder for one test: what the code under test writes there
// starts from nothing, is not shared with other tests and is removed afterwards.
#include "tests/support/temp_folder.h"

#include <string>

namespace qzsdk::test {

class documents_redirect {
public:
    documents_redirect();
    ~documents_redirect();
    documents_redirect(const documents_redirect&) = delete;
    documents_redirect& operator=(const documents_redirect&) = delete;

    const path& get() const { return folder_.get(); }

private:
    temp_folder folder_;
    std::wstring previous_;
};

}  // namespace qzsdk::test
