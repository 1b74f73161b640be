#include "toolkit/platform/folder_archive.h"

#include "toolkit/platform/archive_entry_name.h"
#include "toolkit/platform/binary_file.h"
#include "toolkit/platform/directory_listing.h"
#include "toolkit/platform/file_system.h"
#include "toolkit/platform/replacement_file.h"

#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace qzsdk {

namespace {

using result = folder_archive_result;

constexpr uint8_t archive_magic[4] = {'q', 'z', '^', 0x1A};
constexpr uint32_t piece_size = 16384;
// Offsets and sizes are stored as u32.
constexpr uint64_t largest_u32 = 0xFFFFFFFFu;
// Deflate cannot shrink data by more than 1032:1; a record claiming more is a decompression bomb.
constexpr uint64_t deflate_largest_ratio = 1032;
constexpr uint64_t folder_record_least_size = 4;
constexpr uint64_t file_record_least_size = 32;

struct file_record {
    std::string name;
    uint32_t size = 0;
    uint32_t compressed_size = 0;
    uint32_t data_offset = 0;
    int64_t created = 0;
    int64_t modified = 0;
};

struct deflater {
    z_stream stream{};
    bool ready = deflateInit(&stream, Z_BEST_COMPRESSION) == Z_OK;
    ~deflater()
    {
        if (ready)
            deflateEnd(&stream);
    }
};

struct inflater {
    z_stream stream{};
    bool ready = inflateInit(&stream) == Z_OK;
    ~inflater()
    {
        if (ready)
            inflateEnd(&stream);
    }
};

class header_writer {
public:
    // The targets are little-endian, as the format is.
    void raw(const void* value, size_t size) { bytes_.append(static_cast<const char*>(value), size); }
    void u32(uint32_t value) { raw(&value, 4); }
    void i64(int64_t value) { raw(&value, 8); }
    void text(const std::string& value)
    {
        u32(static_cast<uint32_t>(value.size()));
        bytes_ += value;
    }
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

// Reads header fields, never past the end of the archive.
class header_reader {
public:
    explicit header_reader(binary_file& archive) : archive_(archive), size_(archive.size()) {}

    uint64_t remaining() const { return size_ > archive_.position() ? size_ - archive_.position() : 0; }
    uint64_t archive_size() const { return size_; }
    bool u32(uint32_t& value) { return archive_.read_exact(&value, 4); }
    bool i64(int64_t& value) { return archive_.read_exact(&value, 8); }
    bool entry_name(std::string& name)
    {
        uint32_t length = 0;
        if (!u32(length) || length > remaining())
            return false;
        name.assign(length, '\0');
        return archive_.read_exact(name.data(), length) && is_safe_archive_entry_name(name);
    }

private:
    binary_file& archive_;
    uint64_t size_;
};

result compress_file(const path& source, binary_file& archive, file_record& record)
{
    binary_file input = binary_file::open_for_reading(source);
    if (!input)
        return result::file_open_failed;
    deflater zip;
    if (!zip.ready)
        return result::zlib_init_failed;
    std::vector<uint8_t> in(piece_size);
    std::vector<uint8_t> out(piece_size);
    uint64_t total_in = 0;
    uint64_t total_out = 0;
    int flush = Z_NO_FLUSH;
    while (flush != Z_FINISH) {
        uint32_t read = 0;
        if (!input.read_some(in.data(), piece_size, read))
            return result::read_failed;
        total_in += read;
        if (total_in > largest_u32)
            return result::too_large;
        flush = read < piece_size ? Z_FINISH : Z_NO_FLUSH;
        zip.stream.next_in = in.data();
        zip.stream.avail_in = read;
        do {
            zip.stream.next_out = out.data();
            zip.stream.avail_out = piece_size;
            deflate(&zip.stream, flush);
            uint32_t produced = piece_size - zip.stream.avail_out;
            if (!archive.write_all(out.data(), produced))
                return result::stream_failed;
            total_out += produced;
        } while (zip.stream.avail_out == 0);
    }
    if (total_out > largest_u32 || archive.position() > largest_u32)
        return result::too_large;
    record.size = static_cast<uint32_t>(total_in);
    record.compressed_size = static_cast<uint32_t>(total_out);
    return result::ok;
}

// The listing's order for files; folders only as ancestors of files, each once, in UTF-16 order.
void list_folder(const path& folder, std::set<std::wstring>& folders, std::vector<path>& files)
{
    for (const directory_entry& entry : directory_listing{folder, 1}) {
        path name = entry.relative_path.file_name();
        if (entry.is_folder || name == L"." || name == L"..")
            continue;
        for (path parent = entry.relative_path.parent(); !parent.empty(); parent = parent.parent())
            folders.insert(parent.wide());
        files.push_back(entry.relative_path);
    }
}

result read_folder_records(header_reader& reader, std::vector<std::string>& folders)
{
    uint32_t count = 0;
    reader.u32(count);  // an archive ending here holds nothing
    if (count > reader.remaining() / folder_record_least_size)
        return result::bad_folder_record;
    folders.resize(count);
    for (std::string& folder : folders)
        if (!reader.entry_name(folder))
            return result::bad_folder_record;
    return result::ok;
}

result check_data_range(const header_reader& reader, const file_record& record)
{
    if (uint64_t(record.data_offset) + record.compressed_size > reader.archive_size())
        return result::data_truncated;
    bool empty_stream = record.compressed_size == 0;
    if ((empty_stream && record.size != 0) || record.size > uint64_t(record.compressed_size) * deflate_largest_ratio)
        return result::size_mismatch;
    return result::ok;
}

result read_file_records(header_reader& reader, bool after_folders, std::vector<file_record>& files)
{
    uint32_t count = 0;
    // Ending before this count is an empty archive only when nothing came before it; else it was cut short.
    if (!reader.u32(count) && after_folders)
        return result::bad_file_record;
    if (count > reader.remaining() / file_record_least_size)
        return result::bad_file_record;
    files.resize(count);
    for (file_record& file : files) {
        if (!reader.entry_name(file.name) || !reader.u32(file.size) || !reader.u32(file.compressed_size) ||
            !reader.u32(file.data_offset) || !reader.i64(file.created) || !reader.i64(file.modified))
            return result::bad_file_record;
        if (result checked = check_data_range(reader, file); checked != result::ok)
            return checked;
    }
    return result::ok;
}

result inflate_file(binary_file& archive, const file_record& record, binary_file& output)
{
    inflater unzip;
    if (!unzip.ready)
        return result::zlib_init_failed;
    if (!archive.seek(record.data_offset))
        return result::read_failed;
    std::vector<uint8_t> in(piece_size);
    std::vector<uint8_t> out(piece_size);
    uint64_t left = record.compressed_size;
    uint64_t written = 0;
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        if (left == 0)
            return result::data_truncated;
        uint32_t read = 0;
        if (!archive.read_some(in.data(), static_cast<uint32_t>(std::min<uint64_t>(left, piece_size)), read))
            return result::read_failed;
        if (read == 0)
            return result::data_truncated;
        left -= read;
        unzip.stream.next_in = in.data();
        unzip.stream.avail_in = read;
        do {
            unzip.stream.next_out = out.data();
            unzip.stream.avail_out = piece_size;
            status = inflate(&unzip.stream, Z_NO_FLUSH);
            if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
                return result::stream_failed;
            uint32_t produced = piece_size - unzip.stream.avail_out;
            written += produced;
            if (written > record.size)
                return result::size_mismatch;
            if (!output.write_all(out.data(), produced))
                return result::write_failed;
        } while (unzip.stream.avail_out == 0 && status != Z_STREAM_END);
    }
    return written == record.size ? result::ok : result::size_mismatch;
}

result extract_file(binary_file& archive, const file_record& record, const path& destination)
{
    path target = destination.join(path::from_utf8(record.name));
    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
        return result::file_open_failed;
    replacement_file output(target);
    if (!output.file())
        return result::file_open_failed;
    if (record.compressed_size != 0)
        if (result inflated = inflate_file(archive, record, output.file()); inflated != result::ok)
            return inflated;
    if (!output.commit())
        return result::file_open_failed;
    // A hand-made empty record carries no stream and keeps the times of its making.
    if (record.compressed_size != 0)
        set_file_times(target, record.created, record.modified);
    return result::ok;
}

result check_limits(const std::vector<std::string>& folders, const std::vector<file_record>& files,
                    const unpack_limits& limits)
{
    std::vector<std::string> unclaimed = limits.names;
    if (!unclaimed.empty() && !folders.empty())
        return result::not_accepted;
    uint64_t total = 0;
    for (const file_record& file : files) {
        if (!limits.names.empty()) {
            auto claimed = std::find(unclaimed.begin(), unclaimed.end(), file.name);
            if (claimed == unclaimed.end())
                return result::not_accepted;
            unclaimed.erase(claimed);
        }
        total += file.size;
        if (file.size > limits.largest_file || total > limits.largest_total)
            return result::not_accepted;
    }
    return result::ok;
}

}  // namespace

folder_archive_result folder_archive::pack(const path& folder, const path& archive)
{
    std::set<std::wstring> folders;
    std::vector<path> relative_files;
    list_folder(folder, folders, relative_files);

    std::vector<std::string> folder_names;
    for (const std::wstring& relative : folders)
        folder_names.push_back(path(relative).to_utf8());
    std::vector<file_record> files(relative_files.size());
    uint64_t header_size = 12;
    for (const std::string& name : folder_names)
        header_size += folder_record_least_size + name.size();
    for (size_t i = 0; i < files.size(); ++i) {
        files[i].name = relative_files[i].to_utf8();
        file_info info = get_file_info(folder.join(relative_files[i]));
        files[i].created = info.created;
        files[i].modified = info.modified;
        header_size += file_record_least_size + files[i].name.size();
    }
    if (header_size > largest_u32)
        return result::too_large;

    replacement_file output(archive);
    binary_file& out = output.file();
    if (!out)
        return result::open_failed;
    if (!out.seek(header_size))
        return result::stream_failed;
    for (size_t i = 0; i < files.size(); ++i) {
        files[i].data_offset = static_cast<uint32_t>(out.position());
        if (result packed = compress_file(folder.join(relative_files[i]), out, files[i]); packed != result::ok)
            return packed;
    }

    header_writer header;
    header.raw(archive_magic, 4);
    header.u32(static_cast<uint32_t>(folder_names.size()));
    for (const std::string& name : folder_names)
        header.text(name);
    header.u32(static_cast<uint32_t>(files.size()));
    for (const file_record& file : files) {
        header.text(file.name);
        header.u32(file.size);
        header.u32(file.compressed_size);
        header.u32(file.data_offset);
        header.i64(file.created);
        header.i64(file.modified);
    }
    const std::string& bytes = header.bytes();
    if (!out.seek(0) || !out.write_all(bytes.data(), bytes.size()))
        return result::stream_failed;
    return output.commit() ? result::ok : result::open_failed;
}

folder_archive_result folder_archive::unpack(const path& archive, const path& destination, const unpack_limits& limits)
{
    binary_file in = binary_file::open_for_reading(archive);
    if (!in)
        return result::open_failed;
    uint8_t magic[4];
    if (!in.read_exact(magic, 4) || std::memcmp(magic, archive_magic, 4) != 0)
        return result::bad_magic;

    // Every record is read and checked before anything is created.
    header_reader reader(in);
    std::vector<std::string> folders;
    std::vector<file_record> files;
    if (result read = read_folder_records(reader, folders); read != result::ok)
        return read;
    if (result read = read_file_records(reader, !folders.empty(), files); read != result::ok)
        return read;
    if (result accepted = check_limits(folders, files, limits); accepted != result::ok)
        return accepted;

    for (const std::string& folder : folders)
        if (!create_directories(destination.join(path::from_utf8(folder))))
            return result::folder_create_failed;
    for (const file_record& file : files)
        if (result extracted = extract_file(in, file, destination); extracted != result::ok)
            return extracted;
    return result::ok;
}

}  // namespace qzsdk
