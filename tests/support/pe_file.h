#pragma once
// A Windows module file read as bytes, for checks on what the build put in it: its sections, its export
// table, its COFF symbol table and the CodeView build id of its debug directory.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qzsdk::test {

class pe_file {
public:
    // Throws std::runtime_error when the file cannot be read or is not a 64-bit Windows image.
    explicit pe_file(const std::wstring& path);

    const std::string& bytes() const { return bytes_; }
    // Section names, long ones resolved through the symbol string table as the linker writes them.
    std::vector<std::string> section_names() const;
    // A section's bytes (no more than it holds in the file), or nothing when there is no such section.
    std::optional<std::string> section(const std::string& name) const;
    std::vector<std::string> export_names() const;
    uint32_t image_size() const { return image_size_; }
    uint32_t symbol_count() const { return symbol_count_; }
    // The names in the COFF symbol table (as the linker wrote them, mangled), without auxiliary records.
    std::vector<std::string> symbol_names() const;
    // The GUID and age of the CodeView ("RSDS") record, the build id a crash dump records; empty when none.
    std::string build_id() const;

private:
    struct section_header {
        std::string name;
        uint32_t virtual_address, virtual_size, file_offset, file_size;
    };
    template <class T>
    T read(size_t offset) const;
    std::string read_string(size_t offset) const;
    // The string table follows the symbol table, 18 bytes a symbol.
    size_t string_table() const { return symbol_table_ + size_t{symbol_count_} * 18; }
    // The file offset of a relative virtual address, or nothing when no section holds it in the file.
    std::optional<size_t> file_offset(uint32_t rva) const;

    std::string bytes_;
    std::vector<section_header> sections_;
    uint32_t export_rva_ = 0, debug_rva_ = 0, debug_size_ = 0, image_size_ = 0;
    uint32_t symbol_table_ = 0, symbol_count_ = 0;
};

}  // namespace qzsdk::test
