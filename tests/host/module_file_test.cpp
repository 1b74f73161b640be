// The module a user installs, as the build leaves it beside the test programs: stripped, its debug
// information and symbols in a file of its own that debuggers and crash dumps lead to, and no session-only
// export or code.
#include "host/crash_dump.h"
#include "tests/support/documents_redirect.h"
#include "tests/support/pe_file.h"
#include "tests/support/temp_folder.h"

#include <windows.h>

#include <dbghelp.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace {

using qzsdk::test::pe_file;

std::wstring beside_program(const wchar_t* name)
{
    wchar_t program[MAX_PATH];
    std::wstring path(program, GetModuleFileNameW(nullptr, program, MAX_PATH));
    return path.substr(0, path.find_last_of(L'\\') + 1) + name;
}

bool has(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Whether a symbol's mangled name holds that part.
bool mentions(const std::vector<std::string>& symbols, const std::string& part)
{
    return std::any_of(symbols.begin(), symbols.end(),
                       [&](const std::string& symbol) { return symbol.find(part) != std::string::npos; });
}

class InstalledModule : public testing::Test {
protected:
    pe_file module{beside_program(L"Zephrin.aex")};
    pe_file debug{beside_program(L"Zephrin.aex.debug")};
};

TEST_F(InstalledModule, CarriesNoDebugInformationAndLinksToTheFileThatHasIt)
{
    for (const std::string& name : module.section_names())
        EXPECT_NE(name.rfind(".debug", 0), 0u) << name;
    auto info = debug.section(".debug_info");
    ASSERT_TRUE(info);
    EXPECT_GT(info->size(), 1000u);

    // The link: the debug file's name, padded with zeros to four bytes, then the CRC-32 of its bytes.
    auto link = module.section(".gnu_debuglink");
    ASSERT_TRUE(link);
    ASSERT_EQ(link->size(), 24u);
    EXPECT_EQ(std::string(link->c_str()), "Zephrin.aex.debug");
    uint32_t recorded = 0;
    std::copy_n(link->data() + 20, 4, reinterpret_cast<char*>(&recorded));
    const std::string& bytes = debug.bytes();
    EXPECT_EQ(recorded, crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));

    EXPECT_EQ(module.build_id().size(), 20u);
    EXPECT_EQ(module.build_id(), debug.build_id());
}

TEST_F(InstalledModule, KeepsItsSymbolsInTheDebugFileOnly)
{
    // What stays of the table is its strings, the long section names.
    EXPECT_EQ(module.symbol_count(), 0u);
    EXPECT_TRUE(mentions(debug.symbol_names(), "12EffectsPopup6OnIdle"));
}

// What only the stand-in's sessions, the tests or the benches call is built into their programs alone. The
// debug file keeps the installed module's symbols, the session build its own.
TEST_F(InstalledModule, HoldsNoCodeOnlySessionsTestsOrBenchesCall)
{
    const std::vector<std::string> installed = debug.symbol_names();
    for (const char* name : {"17ChooseEntryByName", "5qzsdk2ui17is_toolkit_window", "14GalleryPreview9GetImages"})
        EXPECT_FALSE(mentions(installed, name)) << name;
    const std::vector<std::string> session = pe_file(L"Z:" ZEPHRIN_SESSION_MODULE_DIR L"/Zephrin.aex").symbol_names();
    EXPECT_TRUE(mentions(session, "17ChooseEntryByName"));
}

TEST_F(InstalledModule, ExportsTheHostsEntriesAndNoSessionExport)
{
    auto names = module.export_names();
    for (const char* entry : {"PluginMain", "execute", "ESInitialize", "ESGetVersion", "ESTerminate", "ESFreeMem"})
        EXPECT_TRUE(has(names, entry)) << entry;
    EXPECT_FALSE(has(names, "ZephrinChooseEntry"));
    EXPECT_FALSE(has(names, "ZephrinFindButton"));
}

TEST_F(InstalledModule, ACrashDumpNamesTheModuleItsDebugFileBelongsTo)
{
    qzsdk::test::documents_redirect documents;
    HMODULE loaded = LoadLibraryW(beside_program(L"Zephrin.aex").c_str());
    ASSERT_NE(loaded, nullptr);
    WriteCrashDump(EXCEPTION_ACCESS_VIOLATION, nullptr);
    FreeLibrary(loaded);

    std::string dump;
    for (const auto& file : std::filesystem::directory_iterator(documents.get().wide() + L"\\Tarnwick\\Error Logs"))
        dump = qzsdk::test::read_bytes(qzsdk::path(file.path().wstring()));
    void* stream = nullptr;
    ULONG stream_size = 0;
    ASSERT_TRUE(MiniDumpReadDumpStream(dump.data(), ModuleListStream, nullptr, &stream, &stream_size));
    auto* list = static_cast<MINIDUMP_MODULE_LIST*>(stream);
    const MINIDUMP_MODULE* found = nullptr;
    for (ULONG i = 0; i < list->NumberOfModules; ++i) {
        auto* name = reinterpret_cast<const MINIDUMP_STRING*>(dump.data() + list->Modules[i].ModuleNameRva);
        std::wstring module_name(name->Buffer, name->Length / sizeof(wchar_t));
        if (module_name == beside_program(L"Zephrin.aex"))
            found = &list->Modules[i];
    }
    // The dump names the module file and its image (which leads on to the debug file and its build id).
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->SizeOfImage, module.image_size());
    // Windows' writer also copies the build id; Wine's leaves the record empty.
    if (found->CvRecord.DataSize == 0)
        std::puts("note: this dump writer records no CodeView build id");
    else
        EXPECT_EQ(dump.substr(found->CvRecord.Rva + 4, 20), debug.build_id());
}

}  // namespace
