#include "toolkit/platform/chunk_file.h"

#include "toolkit/platform/atomic_write.h"

#include <algorithm>
#include <cstring>

namespace qzsdk {

namespace {

constexpr char magic[8] = {'Q', 'Z', 'C', 'H', 'F', 0, 0, 1};
// Files of an older writer carry these letters in another order.
constexpr char older_magic[8] = {'Q', 'Z', 'C', 'F', 'H', 0, 0, 1};
constexpr uint64_t header_size = 8;
constexpr uint64_t record_header_size = 8;

uint32_t read_u32(const uint8_t* bytes)
{
    uint32_t value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

void append_u32(std::string& bytes, uint32_t value)
{
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

}  // namespace

chunk_file::chunk_file(path file, uint32_t mode) : path_(std::move(file)), mode_(mode)
{
    if (mode_ == chunk_file_read) {
        mapped_ = std::make_unique<mapped_file>(path_, mapped_file_read);
        data_ = mapped_->view();
        size_ = mapped_->size();
    } else if (mode_ == chunk_file_write) {
        // What the file holds when nothing is written: eight zero bytes, no magic.
        written_.assign(header_size, '\0');
        size_ = header_size;
    }
}

chunk_file::~chunk_file()
{
    close();
}

void chunk_file::start()
{
    started_ = true;
    valid_ = false;
    if (mode_ == chunk_file_measure) {
        data_ = nullptr;
        size_ = header_size;
        valid_ = true;
        return;
    }
    if (mode_ == chunk_file_write) {
        std::memcpy(written_.data(), magic, sizeof magic);
        valid_ = true;
    } else if (mode_ == chunk_file_read && data_ && size_ >= header_size) {
        valid_ = std::memcmp(data_, magic, sizeof magic) == 0 || std::memcmp(data_, older_magic, sizeof magic) == 0;
    }
    if (valid_) {
        current_ = {};
        position_ = header_size;
    }
}

uint32_t chunk_file::next_chunk()
{
    if (!started_)
        start();
    current_ = {};
    if (mode_ != chunk_file_read || !valid_ || !data_ || position_ >= size_)
        return 0;
    uint64_t left = size_ - position_;
    uint32_t length = left >= record_header_size ? read_u32(data_ + position_ + 4) : 0;
    if (left < record_header_size || length > left - record_header_size) {
        position_ = size_;
        return 0;
    }
    uint64_t end = position_ + record_header_size + length;
    current_ = {data_ + position_ + record_header_size, length, read_u32(data_ + position_), end};
    position_ = end;
    return current_.type;
}

void chunk_file::write_chunk(uint32_t type, const void* bytes, uint32_t length)
{
    if (!started_)
        start();
    if (!valid_ || mode_ == chunk_file_read || closed_)
        return;
    if (mode_ == chunk_file_write) {
        append_u32(written_, type);
        append_u32(written_, length);
        if (length > 0)
            written_.append(static_cast<const char*>(bytes), length);
        position_ = written_.size();
        size_ = written_.size();
    } else {
        size_ += record_header_size + length;
    }
}

bool chunk_file::take_indexed(uint32_t type, uint32_t least_length, record& taken)
{
    if (index_.empty())
        while (uint32_t found = next_chunk())
            index_[found].push_back(current_);
    auto list = index_.find(type);
    if (list == index_.end())
        return false;
    while (!list->second.empty()) {
        taken = list->second.back();
        list->second.pop_back();
        if (taken.length < least_length)
            continue;
        current_ = taken;
        position_ = taken.end;
        next_chunk();
        return true;
    }
    return false;
}

bool chunk_file::serialize_fixed(uint32_t type, void* value, uint32_t width)
{
    if (mode_ != chunk_file_read) {
        write_chunk(type, value, width);
        return true;
    }
    record taken;
    if (!take_indexed(type, width, taken))
        return false;
    std::memcpy(value, taken.data, width);
    return true;
}

bool chunk_file::serialize_u8(uint32_t type, uint8_t& value)
{
    return serialize_fixed(type, &value, sizeof value);
}

bool chunk_file::serialize_u32(uint32_t type, uint32_t& value)
{
    return serialize_fixed(type, &value, sizeof value);
}

bool chunk_file::serialize_i32(uint32_t type, int32_t& value)
{
    return serialize_fixed(type, &value, sizeof value);
}

bool chunk_file::serialize_i64(uint32_t type, int64_t& value)
{
    return serialize_fixed(type, &value, sizeof value);
}

bool chunk_file::serialize_string(uint32_t type, std::string& value)
{
    if (mode_ != chunk_file_read) {
        write_chunk(type, value.data(), static_cast<uint32_t>(value.size()));
        return true;
    }
    record taken;
    if (!take_indexed(type, 0, taken))
        return false;
    value.assign(reinterpret_cast<const char*>(taken.data), taken.length);
    return true;
}

std::string chunk_file::chunk_text() const
{
    const char* text = reinterpret_cast<const char*>(current_.data);
    if (!text)
        return {};
    return std::string(text, std::find(text, text + current_.length, '\0'));
}

bool chunk_file::close()
{
    if (!closed_) {
        closed_ = true;
        saved_ = mode_ != chunk_file_write || write_file_atomically(path_, written_);
    }
    return saved_;
}

}  // namespace qzsdk
