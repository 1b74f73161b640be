#include "popup/effect_list_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

EffectEntry make_entry(int32_t key, const std::string& name, const std::string& match_name, bool preset = false)
{
    return {key, name, match_name, preset ? "Animation Preset" : "Stylize", preset};
}

class ListTextTest : public testing::Test {
protected:
    const EffectEntry* entry(const std::string& name) const
    {
        for (const EffectEntry& entry : entries_)
            if (entry.name == name)
                return &entry;
        ADD_FAILURE() << name;
        return nullptr;
    }
    EffectLists read(const std::string& search, const std::string& shortcuts = {}) const
    {
        EffectLists lists;
        EntryIndex index(entries_);
        read_search_text(search, index, lists);
        read_shortcuts_text(shortcuts, index, lists);
        return lists;
    }

    std::vector<EffectEntry> entries_{
        make_entry(1, "Glow", "glow"),
        make_entry(2, "Gaussian Blur", "gaussian blur"),
        make_entry(3, "Glitch", "glitch"),
        make_entry(-1, "-Glitch", "-glitch", true),
        make_entry(-2, "Fade #2", "fade #2", true),
        make_entry(4, "A = B", "a = b"),
        make_entry(-3, " Edge Fade ", " edge fade ", true),
        make_entry(5, "Caf\xC3\xA9", "caf\xC3\xA9"),
    };
};

void expect_alias(const EffectAlias& alias, const std::string& text, const EffectEntry* target,
                  const EffectEntry* override_target = nullptr)
{
    EXPECT_EQ(alias.text, text);
    EXPECT_EQ(alias.target, target);
    EXPECT_EQ(alias.override_target, override_target);
}

}  // namespace

TEST_F(ListTextTest, EveryRecordAndAwkwardNameSurvivesAWriteAndARead)
{
    EffectLists lists;
    lists.blacklist = {{"glow", entry("Glow")}, {"fade #2", entry("Fade #2")}};
    lists.aliases = {{"-glitch", entry("-Glitch")},
                     {"fade #2", entry("Fade #2"), entry("A = B")},
                     {"x=y", entry("A = B"), entry("Fade #2")},
                     {"gb", entry("Gaussian Blur")},
                     {" edge fade ", entry(" Edge Fade ")},
                     {"caf\xC3\xA9", entry("Caf\xC3\xA9"), entry("-Glitch")}};
    lists.shortcuts[2] = {"Gau", entry("Gaussian Blur")};
    lists.shortcuts[5] = {"A=", entry("A = B")};
    lists.shortcuts[8] = {"Caf\xC3\xA9", entry("Caf\xC3\xA9")};

    std::string search = search_text(lists);
    std::string shortcuts = shortcuts_text(lists);
    EXPECT_EQ(search,
              "-Glow\n-Fade #2\n-Glitch\nFade #2 # A = B\nx=y = A = B # Fade #2\ngb = Gaussian Blur\n"
              " Edge Fade \nCaf\xC3\xA9 # -Glitch\n");
    EXPECT_EQ(shortcuts, "Gau = Gaussian Blur\nA= = A = B\nCaf\xC3\xA9 = Caf\xC3\xA9\n");

    EffectLists read_back = read(search, shortcuts);
    ASSERT_EQ(read_back.blacklist.size(), 2u);
    expect_alias(read_back.blacklist[0], "glow", entry("Glow"));
    expect_alias(read_back.blacklist[1], "fade #2", entry("Fade #2"));
    ASSERT_EQ(read_back.aliases.size(), lists.aliases.size());
    for (size_t i = 0; i < lists.aliases.size(); ++i)
        expect_alias(read_back.aliases[i], lists.aliases[i].text, lists.aliases[i].target,
                     lists.aliases[i].override_target);
    // Empty slots close up.
    EXPECT_EQ(read_back.shortcuts[0].label, "Gau");
    EXPECT_EQ(read_back.shortcuts[0].target, entry("Gaussian Blur"));
    EXPECT_EQ(read_back.shortcuts[1].label, "A=");
    EXPECT_EQ(read_back.shortcuts[1].target, entry("A = B"));
    EXPECT_EQ(read_back.shortcuts[2].target, entry("Caf\xC3\xA9"));
    EXPECT_EQ(read_back.shortcuts[3].target, nullptr);
    EXPECT_TRUE(read_back.unresolved_search_lines.empty());
    EXPECT_TRUE(read_back.unresolved_shortcut_lines.empty());
    EXPECT_EQ(search_text(read_back), search);
}

TEST_F(ListTextTest, TheUsualLineFormsReadAsTheyAlwaysDid)
{
    EffectLists lists = read("\xEF\xBB\xBFGLOW\r\n"
                             "  gb =  Gaussian BLUR # glow \r\n"
                             "blurry = gaussian blur # Not Installed\n"
                             "\n"
                             "-Glow\n"
                             "-glitch # glow\n"
                             "Glitch # Glow\n"
                             "= glow\n"
                             "last line = glow");
    ASSERT_EQ(lists.aliases.size(), 7u);
    expect_alias(lists.aliases[0], "glow", entry("Glow"));
    expect_alias(lists.aliases[1], "gb", entry("Gaussian Blur"), entry("Glow"));
    expect_alias(lists.aliases[2], "blurry", entry("Gaussian Blur"));
    // The missing override's name is kept for the day its plug-in is back.
    EXPECT_EQ(lists.aliases[2].unresolved_override, "Not Installed");
    // "-glitch" names the preset "-Glitch" itself, literally, before it is read as a blacklist line.
    expect_alias(lists.aliases[3], "-glitch", entry("-Glitch"), entry("Glow"));
    expect_alias(lists.aliases[4], "glitch", entry("Glitch"), entry("Glow"));
    expect_alias(lists.aliases[5], "", entry("Glow"));
    expect_alias(lists.aliases[6], "last line", entry("Glow"));
    ASSERT_EQ(lists.blacklist.size(), 1u);
    expect_alias(lists.blacklist[0], "glow", entry("Glow"));
    EXPECT_TRUE(lists.unresolved_search_lines.empty());
    EXPECT_EQ(search_text(lists), "-Glow\nGlow\ngb = Gaussian Blur # Glow\nblurry = Gaussian Blur # Not Installed\n"
                                  "-Glitch # Glow\nGlitch # Glow\n = Glow\nlast line = Glow\n");
}

TEST_F(ListTextTest, TheTextEndsAtAZeroByte)
{
    EffectLists lists = read(std::string("glow\nglitch\0gaussian blur\n", 26));
    ASSERT_EQ(lists.aliases.size(), 2u);
    expect_alias(lists.aliases[1], "glitch", entry("Glitch"));
}

TEST_F(ListTextTest, LinesNamingNothingInstalledAreKeptAndWrittenBackAsRead)
{
    entries_.reserve(entries_.size() + 2);
    EffectLists lists = read("Plugin Gone\nx = Gone Too # Glow\n- glow\nglow\nGlow = Glow\n",
                             "Gon = Gone\nno separator\nGlo = GLOW\n");
    ASSERT_EQ(lists.aliases.size(), 2u);
    EXPECT_EQ(lists.unresolved_search_lines,
              (std::vector<std::string>{"Plugin Gone", "x = Gone Too # Glow", "- glow"}));
    EXPECT_EQ(lists.shortcuts[0].target, entry("Glow"));
    EXPECT_EQ(lists.unresolved_shortcut_lines, (std::vector<std::string>{"Gon = Gone", "no separator"}));

    EXPECT_EQ(search_text(lists), "Glow\nGlow\nPlugin Gone\nx = Gone Too # Glow\n- glow\n");
    EXPECT_EQ(shortcuts_text(lists), "Glo = Glow\nGon = Gone\nno separator\n");

    // The plug-in is back: its lines read as records again.
    entries_.push_back(make_entry(9, "Gone", "gone"));
    entries_.push_back(make_entry(10, "Plugin Gone", "plugin gone"));
    EffectLists again = read(search_text(lists), shortcuts_text(lists));
    EXPECT_EQ(again.aliases.size(), 3u);
    EXPECT_EQ(again.unresolved_search_lines, (std::vector<std::string>{"x = Gone Too # Glow", "- glow"}));
    EXPECT_EQ(again.shortcuts[1].target, &entries_[8]);
}

TEST_F(ListTextTest, ShortcutSlotsFillInFileOrderUpToNine)
{
    std::string text = "Bad = Not Installed\n";
    for (int i = 0; i < 12; ++i)
        text += "  L" + std::to_string(i) + "  =  glow  \r\n";
    EffectLists lists = read({}, text);
    EXPECT_EQ(lists.shortcuts[0].label, "L0");
    EXPECT_EQ(lists.shortcuts[8].label, "L8");
    EXPECT_EQ(lists.shortcuts[8].target, entry("Glow"));
    // Beyond the ninth slot nothing is dropped either.
    EXPECT_EQ(lists.unresolved_shortcut_lines.size(), 4u);
}
