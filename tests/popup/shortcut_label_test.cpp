#include "popup/shortcut_label.h"

#include <gtest/gtest.h>

TEST(ShortcutLabel, FirstThreeCharactersNeverSplittingOne)
{
    EXPECT_EQ(shortcut_label("blur"), "Blu");
    EXPECT_EQ(shortcut_label("ab"), "Ab");
    EXPECT_EQ(shortcut_label(""), "");
    EXPECT_EQ(shortcut_label("3D glasses"), "3D ");
    EXPECT_EQ(shortcut_label("\xC3\x89t\xC3\xA9 indien"), "\xC3\x89t\xC3\xA9");          // "Été": five bytes
    EXPECT_EQ(shortcut_label("ab\xC3\xA9t\xC3\xA9"), "Ab\xC3\xA9");                    // "Abé"
    EXPECT_EQ(shortcut_label("\xC3\xA9pais"), "\xC3\xA9pa");                            // not upper-cased: ASCII only
    EXPECT_EQ(shortcut_label("\xE2\x9C\x93 check"), "\xE2\x9C\x93 c");                  // a three-byte character
    EXPECT_EQ(shortcut_label("\xF0\x9F\x98\x80 smile"), "\xF0\x9F\x98\x80 s");          // a four-byte one
    EXPECT_EQ(shortcut_label("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xA7"),      // Japanese: nine bytes
              "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E");
}

TEST(ShortcutLabel, ABrokenNameIsCutWithoutReadingPastItsEnd)
{
    EXPECT_EQ(shortcut_label("a\xC3"), "A\xC3");                    // a sequence cut off by the end
    EXPECT_EQ(shortcut_label("ab\xE2\x9Cz"), "Ab\xE2\x9C");         // one cut off by a plain byte
    EXPECT_EQ(shortcut_label("\x80\x80xyz"), "\x80\x80x");          // stray continuation bytes
}

TEST(ShortcutLabel, AButtonShowsAStoredLabelCutTheSameWayWithItsCase)
{
    EXPECT_EQ(shortened_label("blur"), "blu");
    EXPECT_EQ(shortened_label("\xC3\x89t\xC3\xA9s"), "\xC3\x89t\xC3\xA9");
    EXPECT_EQ(shortened_label("Gl"), "Gl");
}
