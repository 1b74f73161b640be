#include <gtest/gtest.h>

#include "preferences/preferences_list_editing.h"

namespace {

class list_editing : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 6; ++i)
            catalogue.push_back(EffectEntry{i, "Effect " + std::to_string(i), "effect " + std::to_string(i), "", false});
    }

    void fill_shortcuts(int count)
    {
        for (int i = 0; i < count; ++i)
            lists.shortcuts[i] = EffectShortcut{"L" + std::to_string(i), &catalogue[i]};
    }

    std::vector<int> shortcut_keys() const
    {
        std::vector<int> keys;
        for (const EffectShortcut& slot : lists.shortcuts)
            keys.push_back(slot.target ? slot.target->key : -1);
        return keys;
    }

    EditEffectResult chosen(uint64_t slot, int entry, std::string label = "Eff")
    {
        return EditEffectResult{slot, entry < 0 ? nullptr : &catalogue[entry], std::move(label), 0};
    }

    std::vector<EffectEntry> catalogue;
    EffectLists lists;
};

}  // namespace

TEST_F(list_editing, ShortcutSlotsStayContiguousFromTheTop)
{
    fill_shortcuts(5);
    EXPECT_TRUE(ClearShortcut(lists.shortcuts, 2));
    EXPECT_EQ(shortcut_keys(), (std::vector<int>{0, 1, 3, 4, -1, -1, -1, -1, -1}));
    EXPECT_EQ(lists.shortcuts[2].label, "L3");
    EXPECT_FALSE(ClearShortcut(lists.shortcuts, 9));

    // A new label for a filled slot keeps its effect.
    EXPECT_TRUE(SetShortcut(lists.shortcuts, EditEffectResult{0, nullptr, "Zz", 1}));
    EXPECT_EQ(lists.shortcuts[0].label, "Zz");
    EXPECT_EQ(lists.shortcuts[0].target, &catalogue[0]);
}

TEST_F(list_editing, UnusablePickerResultsSetNoShortcut)
{
    fill_shortcuts(2);
    EffectLists before = lists;
    EXPECT_FALSE(SetShortcut(lists.shortcuts, chosen(1, 3, "")));
    EXPECT_FALSE(SetShortcut(lists.shortcuts, chosen(1, 3, "  ")));
    EXPECT_FALSE(SetShortcut(lists.shortcuts, chosen(1, 3, "a=b")));
    EXPECT_FALSE(SetShortcut(lists.shortcuts, chosen(1, 3, "a\nb")));
    EXPECT_FALSE(SetShortcut(lists.shortcuts, chosen(9, 3)));
    EXPECT_FALSE(SetShortcut(lists.shortcuts, chosen(UINT64_MAX, 3)));
    EXPECT_FALSE(SetShortcut(lists.shortcuts, chosen(1, -1)));
    // A label alone for an empty slot would make a shortcut that applies nothing.
    EXPECT_FALSE(SetShortcut(lists.shortcuts, EditEffectResult{5, nullptr, "Abc", 1}));
    EXPECT_EQ(shortcut_keys(), (std::vector<int>{0, 1, -1, -1, -1, -1, -1, -1, -1}));
    EXPECT_EQ(lists.shortcuts[1].label, before.shortcuts[1].label);
}

TEST_F(list_editing, FavouriteEditsOutsideTheListOrWithoutAnEffectChangeNothing)
{
    std::vector<EffectAlias>& favorites = lists.aliases;
    EXPECT_TRUE(AppendEntry(favorites, chosen(UINT64_MAX, 1)));
    EXPECT_FALSE(AppendEntry(favorites, chosen(UINT64_MAX, -1)));
    EXPECT_FALSE(SetOverride(favorites, chosen(1, 4)));
    EXPECT_FALSE(SetOverride(favorites, EditEffectResult{0, &catalogue[3], "x", 1}));
    EXPECT_FALSE(ClearOverride(favorites[0]));
    EXPECT_FALSE(ClearAlias(favorites[0]));
    EXPECT_FALSE(RemoveRecord(favorites, 1));
    ASSERT_EQ(favorites.size(), 1u);
    EXPECT_EQ(favorites[0].text, "effect 1");
    EXPECT_EQ(favorites[0].override_target, nullptr);
}

TEST_F(list_editing, AnEffectAddedAgainIsAppendedAgainAsAPlainRecord)
{
    std::vector<EffectAlias>& favorites = lists.aliases;
    favorites.push_back(EffectAlias{"e1", &catalogue[1], &catalogue[2]});
    EXPECT_TRUE(AppendEntry(favorites, chosen(UINT64_MAX, 1)));
    EXPECT_TRUE(AppendEntry(favorites, chosen(UINT64_MAX, 1)));
    ASSERT_EQ(favorites.size(), 3u);
    for (size_t i : {1u, 2u}) {
        EXPECT_EQ(favorites[i].text, "effect 1");
        EXPECT_EQ(favorites[i].target, &catalogue[1]);
        EXPECT_EQ(favorites[i].override_target, nullptr);
    }
}

TEST_F(list_editing, MovingARecordOntoItselfOrPastTheEndIsSafeAndEmptySlotsSink)
{
    fill_shortcuts(3);
    EXPECT_FALSE(MoveRecord(lists.shortcuts, 1, 1));
    EXPECT_FALSE(MoveRecord(lists.shortcuts, 1, 2));
    EXPECT_FALSE(MoveRecord(lists.shortcuts, 12, 0));
    // Dropped among the empty slots: right after the last filled one.
    EXPECT_TRUE(MoveRecord(lists.shortcuts, 0, 7));
    EXPECT_EQ(shortcut_keys(), (std::vector<int>{1, 2, 0, -1, -1, -1, -1, -1, -1}));
    EXPECT_TRUE(MoveRecord(lists.shortcuts, 2, 0));
    EXPECT_EQ(shortcut_keys(), (std::vector<int>{0, 1, 2, -1, -1, -1, -1, -1, -1}));

    std::vector<EffectAlias>& favorites = lists.aliases;
    for (int i = 0; i < 3; ++i)
        favorites.push_back(EffectAlias{catalogue[i].match_name, &catalogue[i], nullptr});
    EXPECT_TRUE(MoveRecord(favorites, 0, 1000));
    EXPECT_EQ(favorites.back().target, &catalogue[0]);
    EXPECT_TRUE(MoveRecord(favorites, 2, 0));
    EXPECT_EQ(favorites.front().target, &catalogue[0]);
}

TEST_F(list_editing, RebuiltCatalogueLeavesNoDanglingEntries)
{
    fill_shortcuts(3);
    lists.aliases = {EffectAlias{"a1", &catalogue[1], &catalogue[2]}, EffectAlias{"a2", &catalogue[2], nullptr}};
    lists.blacklist = {EffectAlias{catalogue[0].match_name, &catalogue[0], nullptr}};
    EffectEntry stranger{9, "Stranger", "stranger", "", false};
    lists.aliases.push_back(EffectAlias{"s", &stranger, nullptr});

    // The rebuilt catalogue lost "effect 0" and "effect 2" and lists the rest in another order.
    std::vector<EffectEntry> rebuilt = {catalogue[5], catalogue[1], catalogue[3]};
    RebindLists(lists, catalogue, rebuilt);
    catalogue.clear();
    catalogue.shrink_to_fit();

    EXPECT_EQ(lists.shortcuts[0].target, &rebuilt[1]);
    EXPECT_EQ(lists.shortcuts[0].label, "L1");
    for (size_t i = 1; i < lists.shortcuts.size(); ++i) {
        EXPECT_EQ(lists.shortcuts[i].target, nullptr);
        EXPECT_EQ(lists.shortcuts[i].label, "");
    }
    ASSERT_EQ(lists.aliases.size(), 1u);
    EXPECT_EQ(lists.aliases[0].target, &rebuilt[1]);
    EXPECT_EQ(lists.aliases[0].override_target, nullptr);
    EXPECT_EQ(lists.aliases[0].unresolved_override, "Effect 2");
    EXPECT_TRUE(lists.blacklist.empty());
}
