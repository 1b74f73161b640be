#include "tests/support/pe_file.h"

#include <windows.h>

#include <cstring>
#include <stdexcept>

#include "tests/support/temp_folder.h"

namespace qzsdk::test {

pe_file::pe_file(const std::wstring& path)
{
    bytes_ = read_bytes(qzsdk::path(path));
    if (bytes_.size() < sizeof(IMAGE_DOS_HEADER) || read<uint16_t>(0) != IMAGE_DOS_SIGNATURE)
        throw std::runtime_error("not a Windows image: " + qzsdk::path(path).to_utf8());
    auto nt_offset = static_cast<size_t>(read<IMAGE_DOS_HEADER>(0).e_lfanew);
    auto nt = read<IMAGE_NT_HEADERS64>(nt_offset);
    if (nt.Signature != IMAGE_NT_SIGNATURE || nt.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC)
        throw std::runtime_error("not a 64-bit Windows image: " + qzsdk::path(path).to_utf8());
    image_size_ = nt.OptionalHeader.SizeOfImage;
    const auto& directories = nt.OptionalHeader.DataDirectory;
    export_rva_ = directories[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress;
    debug_rva_ = directories[IMAGE_DIRECTORY_ENTRY_DEBUG].VirtualAddress;
    debug_size_ = directories[IMAGE_DIRECTORY_ENTRY_DEBUG].Size;

    symbol_table_ = nt.FileHeader.PointerToSymbolTable;
    symbol_count_ = nt.FileHeader.NumberOfSymbols;
    size_t first = nt_offset + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader;
    for (size_t i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
        auto header = read<IMAGE_SECTION_HEADER>(first + i * sizeof(IMAGE_SECTION_HEADER));
        std::string name(reinterpret_cast<const char*>(header.Name), strnlen(reinterpret_cast<const char*>(header.Name), 8));
        // A name longer than eight characters is "/N": N is its offset in the string table.
        if (name.size() > 1 && name[0] == '/' && symbol_table_)
            name = read_string(string_table() + std::stoul(name.substr(1)));
        sections_.push_back({name, header.VirtualAddress, header.Misc.VirtualSize, header.PointerToRawData,
                             header.SizeOfRawData});
    }
}

template <class T>
T pe_file::read(size_t offset) const
{
    if (offset > bytes_.size() || bytes_.size() - offset < sizeof(T))
        throw std::runtime_error("the image ends before offset " + std::to_string(offset));
    T value;
    std::memcpy(&value, bytes_.data() + offset, sizeof(T));
    return value;
}

std::string pe_file::read_string(size_t offset) const
{
    if (offset >= bytes_.size())
        throw std::runtime_error("no string at offset " + std::to_string(offset));
    return std::string(bytes_.c_str() + offset, strnlen(bytes_.c_str() + offset, bytes_.size() - offset));
}

std::vector<std::string> pe_file::symbol_names() const
{
    std::vector<std::string> names;
    for (size_t i = 0; symbol_table_ && i < symbol_count_; ++i) {
        auto symbol = read<IMAGE_SYMBOL>(symbol_table_ + i * IMAGE_SIZEOF_SYMBOL);
        // A name longer than eight characters is an offset in the string table after a zero first half.
        if (symbol.N.Name.Short == 0)
            names.push_back(read_string(string_table() + symbol.N.Name.Long));
        else
            names.emplace_back(reinterpret_cast<const char*>(symbol.N.ShortName),
                               strnlen(reinterpret_cast<const char*>(symbol.N.ShortName), 8));
        i += symbol.NumberOfAuxSymbols;
    }
    return names;
}

std::optional<size_t> pe_file::file_offset(uint32_t rva) const
{
    for (const section_header& s : sections_)
        if (s.file_offset && rva >= s.virtual_address && rva - s.virtual_address < s.file_size)
            return size_t{s.file_offset} + (rva - s.virtual_address);
    return std::nullopt;
}

std::vector<std::string> pe_file::section_names() const
{
    std::vector<std::string> names;
    for (const section_header& s : sections_)
        names.push_back(s.name);
    return names;
}

std::optional<std::string> pe_file::section(const std::string& name) const
{
    for (const section_header& s : sections_) {
        if (s.name != name)
            continue;
        uint32_t size = s.virtual_size && s.virtual_size < s.file_size ? s.virtual_size : s.file_size;
        if (s.file_offset > bytes_.size() || bytes_.size() - s.file_offset < size)
            throw std::runtime_error("section " + name + " runs past the end of the file");
        return bytes_.substr(s.file_offset, size);
    }
    return std::nullopt;
}

std::vector<std::string> pe_file::export_names() const
{
    std::vector<std::string> names;
    auto directory_at = export_rva_ ? file_offset(export_rva_) : std::nullopt;
    if (!directory_at)
        return names;
    auto directory = read<IMAGE_EXPORT_DIRECTORY>(*directory_at);
    auto table = file_offset(directory.AddressOfNames);
    for (uint32_t i = 0; table && i < directory.NumberOfNames; ++i) {
        auto name = file_offset(read<uint32_t>(*table + i * 4));
        if (!name)
            throw std::runtime_error("an export name lies outside the file");
        names.push_back(read_string(*name));
    }
    return names;
}

std::string pe_file::build_id() const
{
    auto at = debug_rva_ ? file_offset(debug_rva_) : std::nullopt;
    for (size_t i = 0; at && i < debug_size_ / sizeof(IMAGE_DEBUG_DIRECTORY); ++i) {
        auto entry = read<IMAGE_DEBUG_DIRECTORY>(*at + i * sizeof(IMAGE_DEBUG_DIRECTORY));
        // "RSDS", a 16-byte GUID and a 4-byte age, then the program database's name.
        if (entry.Type != IMAGE_DEBUG_TYPE_CODEVIEW || entry.SizeOfData < 24)
            continue;
        auto record = file_offset(entry.AddressOfRawData);
        if (record && read<uint32_t>(*record) == 0x53445352)
            return bytes_.substr(*record + 4, 20);
    }
    return {};
}

}  // namespace qzsdk::test
