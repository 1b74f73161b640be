#pragma once
// The session's `file block`: a plain file stands where a folder or file the module uses would be, so that
// the module's writes there fail. What stood there is put aside and back, so that a blocked session leaves
// the folders of the sessions after it as it found them.
#include <string>
#include <vector>

namespace standin {

class FileBlocks {
public:
    FileBlocks() = default;
    ~FileBlocks() = default;
    FileBlocks(const FileBlocks&) = delete;
    FileBlocks& operator=(const FileBlocks&) = delete;

    // Puts an empty file at `path` (its parent folders made as needed), what was there moved aside; empty on
    // success, otherwise why it failed.
    std::string block(const std::wstring& path);
    // Removes each block and puts back what it moved aside, the latest first; the failures, or empty.
    std::string release_all();

private:
    struct Block {
        std::wstring path;
        bool moved_aside;
    };
    std::vector<Block> blocks_;
};

}  // namespace standin
