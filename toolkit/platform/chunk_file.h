#pragma once
// A file of typed records {u32 type, u32 length, payload} after an 8-byte magic, all little-endian. Reading
// maps the file; writing collects the records and replaces the file in one step when the chunk file is
// closed or destroyed, so the old file survives any failure.
#include "toolkit/platform/mapped_file.h"
#include "toolkit/platform/path.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace qzsdk {

enum chunk_file_mode : uint32_t { chunk_file_read = 0, chunk_file_write = 1, chunk_file_measure = 2 };

class chunk_file {
public:
    // Measure mode only counts the bytes a write would produce; it never touches the file.
    chunk_file(path file, uint32_t mode);
    ~chunk_file();
    chunk_file(const chunk_file&) = delete;
    chunk_file& operator=(const chunk_file&) = delete;

    // The type of the next record in file order, 0 at the end. A damaged tail (a header or payload that
    // would reach past the end of the file) ends the records.
    uint32_t next_chunk();
    void write_chunk(uint32_t type, const void* bytes, uint32_t length);

    // One call serves both directions: write and measure modes append the value; read mode takes the last
    // unread record of the type (so a second read yields the one before it) and returns false when none is
    // left. A number record shorter than its value is passed over.
    bool serialize_u8(uint32_t type, uint8_t& value);
    bool serialize_u32(uint32_t type, uint32_t& value);
    bool serialize_i32(uint32_t type, int32_t& value);
    bool serialize_i64(uint32_t type, int64_t& value);
    bool serialize_string(uint32_t type, std::string& value);

    // Write mode: replaces the file with the records written so far; true when it did. Later calls and the
    // destructor do nothing more.
    bool close();

    // The record the last read reached; its payload stays valid while this object lives.
    uint32_t chunk_type() const { return current_.type; }
    const uint8_t* chunk_data() const { return current_.data; }
    uint32_t chunk_length() const { return current_.length; }
    // The payload up to its first zero byte, as text records are stored.
    std::string chunk_text() const;

    bool valid() const { return valid_; }
    // Bytes mapped (read) or written or counted so far (write, measure).
    uint64_t size() const { return size_; }

private:
    struct record {
        const uint8_t* data = nullptr;
        uint32_t length = 0;
        uint32_t type = 0;
        uint64_t end = 0;
    };

    void start();
    bool serialize_fixed(uint32_t type, void* value, uint32_t width);
    bool take_indexed(uint32_t type, uint32_t least_length, record& taken);

    path path_;
    uint32_t mode_;
    bool valid_ = false;
    bool started_ = false;
    bool closed_ = false;
    bool saved_ = false;
    const uint8_t* data_ = nullptr;
    uint64_t size_ = 0;
    record current_;
    uint64_t position_ = 0;
    std::unordered_map<uint32_t, std::vector<record>> index_;
    std::unique_ptr<mapped_file> mapped_;
    std::string written_;
};

}  // namespace qzsdk
