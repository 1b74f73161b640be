#include "popup/shortcut_label.h"

#include <gtest/gtest.h>

TEST(ShortcutLabel, FirstThreeBytesNeverSplittingACharacter)
{
    EXPECT_EQ(shortcut_label("blur"), "Blu");
    EXPECT_EQ(shortcut_label("ab"), "Ab");
    EXPECT_EQ(shortcut_label(""), "");
    EXPECT_EQ(shortcut_label("3D glasses"), "3D ");
    EXPECT_EQ(shortcut_label("ab\xC3\xA9t\xC3\xA9"), "Ab");              // e acute would cross byte 3
    EXPECT_EQ(shortcut_label("\xC3\xA9pais"), "\xC3\xA9p");             // not upper-cased: ASCII only
    EXPECT_EQ(shortcut_label("\xE2\x9C\x93 check"), "\xE2\x9C\x93");    // a three-byte character
    EXPECT_EQ(shortcut_label("\xF0\x9F\x98\x80 smile"), "\xF0\x9F\x98\x80");  // longer than three: whole
}
