#include "toolkit/platform/text.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <clocale>
#include <ctime>

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

TEST(Text, ClockCountsWindowsTicksSince1970)
{
    EXPECT_NEAR(static_cast<double>(clock_now() / ticks_per_second), static_cast<double>(std::time(nullptr)), 2.0);
}
