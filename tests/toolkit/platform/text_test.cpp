#include "toolkit/platform/text.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <clocale>
#include <ctime>
#include <string>
#include <vector>

using namespace qzsdk;

TEST(Text, ConversionsRoundTripAndEmptyStaysEmpty)
{
    EXPECT_EQ(wide_to_utf8(utf8_to_wide("Caf\xC3\xA9 \xE2\x9C\x93")), "Caf\xC3\xA9 \xE2\x9C\x93");
    EXPECT_EQ(utf8_to_wide("\xC3\xA9"), L"\u00E9");
    EXPECT_TRUE(utf8_to_wide("").empty());
    EXPECT_TRUE(wide_to_utf8(L"").empty());
    // The prefix's ANSI code page is 1252: 0xE9 is e acute.
    EXPECT_EQ(ansi_to_utf8("Caf\xE9"), "Caf\xC3\xA9");
}

TEST(Text, LowerCaseAndTrimAreAsciiOnlyWhateverTheLocale)
{
    std::setlocale(LC_ALL, "English_United States.1252");
    EXPECT_EQ(to_lower("\xC3\x89T\xC3\xA9 ABC"), "\xC3\x89t\xC3\xA9 abc");
    // 0xA0 and 0x85 are spaces in 1252 but continuation bytes in UTF-8.
    EXPECT_EQ(trim("\xC2\xA0x\xC2\x85"), "\xC2\xA0x\xC2\x85");
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(trim("   "), "");
    EXPECT_EQ(trim("\tword\n"), "word");
    EXPECT_EQ(trim_left("  a b  "), "a b  ");
}

TEST(Text, FormatCutsLongOutputAtAWholeCharacter)
{
    EXPECT_EQ(format_to_string("%s exception", "Zephrin"), "Zephrin exception");
    std::string long_text(510, 'a');
    long_text += "\xE2\x9C\x93";  // a three-byte character straddling byte 511
    EXPECT_EQ(format_to_string("%s", long_text.c_str()), std::string(510, 'a'));
}

// The precise clock is looked up at run time: Windows 7 has none, and a static import would keep the
// module from loading there.
TEST(Text, ClockCountsWindowsTicksSince1970WithoutImportingThePreciseClock)
{
    EXPECT_NEAR(static_cast<double>(clock_now() / ticks_per_second), static_cast<double>(std::time(nullptr)), 2.0);
    wchar_t own[MAX_PATH];
    std::wstring module(own, GetModuleFileNameW(nullptr, own, MAX_PATH));
    module = module.substr(0, module.find_last_of(L'\\') + 1) + L"Zephrin.aex";
    HMODULE image = LoadLibraryExW(module.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(image, nullptr);
    const auto* base = reinterpret_cast<const uint8_t*>(image);
    const auto* headers =
        reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    std::vector<std::string> names;
    for (auto* dll = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); dll->Name; ++dll)
        for (auto* thunk = reinterpret_cast<const IMAGE_THUNK_DATA64*>(base + dll->OriginalFirstThunk);
             thunk->u1.AddressOfData; ++thunk)
            if (!(thunk->u1.Ordinal & IMAGE_ORDINAL_FLAG64))
                names.push_back(reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + thunk->u1.AddressOfData)->Name);
    FreeLibrary(image);
    EXPECT_GT(names.size(), 10u);
    EXPECT_EQ(std::count(names.begin(), names.end(), "GetSystemTimePreciseAsFileTime"), 0);
}
