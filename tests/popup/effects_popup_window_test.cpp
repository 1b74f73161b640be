#include "popup/effects_popup_window.h"

#include "tests/support/effects_popup_window_test_api.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <windows.h>

using qzsdk::test::make_folder;
using qzsdk::test::read_bytes;
using qzsdk::test::temp_folder;
using qzsdk::test::write_bytes;
using Kind = ResultLine::Kind;

namespace {

std::vector<EffectEntry> catalogue()
{
    return {{1, "Glow", "glow", "Stylize", false},
            {2, "Gaussian Blur", "gaussian blur", "Blur & Sharpen", false},
            {3, "Blur", "blur", "Blur & Sharpen", false},
            {-1, "Fade In", "fade in", "Animation Preset", true},
            {4, "\xC3\x89tincelle", "\xC3\x89tincelle", "Stylize", false}};
}

class PopupCatalogueTest : public testing::Test {
protected:
    PopupCatalogueTest() { make_folder(local_.get()); }

    EffectsPopupWindow& popup()
    {
        if (!popup_) {
            popup_ = std::make_unique<EffectsPopupWindow>(nullptr, &settings_, MakerFolders{local_.get(), common_.get()},
                                                          EffectsPopupWindowTestApi::refusing_news_server());
            popup_->SetEffects(catalogue());
        }
        return *popup_;
    }
    const EffectEntry* entry(const std::string& name)
    {
        for (const EffectEntry& entry : popup().entries())
            if (entry.name == name)
                return &entry;
        ADD_FAILURE() << name;
        return nullptr;
    }
    std::string local_file(const wchar_t* name) { return read_bytes(local_ / name); }
    std::vector<ResultLine> result() { return EffectsPopupWindowTestApi(popup()).result(); }

    temp_folder local_;
    temp_folder common_;
    PopupSettings settings_;
    std::unique_ptr<EffectsPopupWindow> popup_;
};

}  // namespace

TEST_F(PopupCatalogueTest, ListsAreReadLocalFirstAndAlwaysWrittenLocally)
{
    write_bytes(common_ / L"effects_search.txt", "Glow\n");
    write_bytes(common_ / L"effects_shortcuts.txt", "Blu = blur\n");
    write_bytes(local_ / L"effects_shortcuts.txt", "Gau = gaussian blur\n");
    EXPECT_EQ(popup().lists().aliases.size(), 1u);
    EXPECT_EQ(popup().lists().shortcuts[0].target, entry("Gaussian Blur"));

    popup().AddToList(entry("Blur"), false);
    EXPECT_EQ(local_file(L"effects_search.txt"), "Glow\nBlur\n");
    EXPECT_EQ(read_bytes(common_ / L"effects_search.txt"), "Glow\n");
    popup().SetEffects(catalogue());
    EXPECT_EQ(popup().lists().aliases.size(), 2u);
}

TEST_F(PopupCatalogueTest, AddingToAListSavesAndSearchesAgain)
{
    EffectsPopupWindowTestApi(popup()).Search("bl");
    EXPECT_EQ(result().size(), 3u);
    popup().AddToList(entry("Glow"), false);
    popup().AddToList(entry("Glow"), false);
    popup().AddToList(entry("Blur"), true);
    EXPECT_EQ(popup().lists().aliases.size(), 2u);
    EXPECT_EQ(local_file(L"effects_search.txt"), "-Blur\nGlow\nGlow\n");
    // The search ran again: the blacklisted entry is gone from the rows.
    EXPECT_EQ(result(), (std::vector<ResultLine>{{Kind::effects_header}, {Kind::row, entry("Gaussian Blur")}}));
    EffectsPopupWindowTestApi(popup()).Search("glow");
    EXPECT_EQ(result().size(), 2u);
    popup().SetEffects(catalogue());  // no row may point into the list replaced
    EXPECT_EQ(EffectsPopupWindowTestApi(popup()).row_count(), 0u);
}

TEST_F(PopupCatalogueTest, OverrideIsTheFirstAliasOfTheTargetThatHasOne)
{
    write_bytes(local_ / L"effects_search.txt", "gb = Gaussian Blur\nsoft = Gaussian Blur # Blur\nx = Gaussian Blur # Glow\n");
    EXPECT_EQ(popup().ResolveOverride(entry("Gaussian Blur")), entry("Blur"));
    EXPECT_EQ(popup().ResolveOverride(entry("Glow")), entry("Glow"));
}

TEST_F(PopupCatalogueTest, ShortcutsFillTheFirstFreeSlotAndReplaceOnlyASetOne)
{
    popup().ReplaceShortcut(entry("Glow"), 0);
    EXPECT_EQ(popup().lists().shortcuts[0].target, nullptr);
    popup().CreateShortcut(entry("Blur"));
    popup().CreateShortcut(entry("\xC3\x89tincelle"));
    EXPECT_EQ(popup().lists().shortcuts[0].label, "Blu");
    EXPECT_EQ(popup().lists().shortcuts[1].label, "\xC3\x89t");
    popup().ReplaceShortcut(entry("Glow"), 1);
    popup().ReplaceShortcut(entry("Glow"), 9);
    EXPECT_EQ(popup().lists().shortcuts[1].label, "Glo");
    EXPECT_EQ(local_file(L"effects_shortcuts.txt"), "Blu = Blur\nGlo = Glow\n");

    for (int i = 0; i < 9; ++i)
        popup().CreateShortcut(entry("Fade In"));
    EXPECT_EQ(popup().lists().shortcuts[8].target, entry("Fade In"));
    EXPECT_EQ(popup().lists().shortcuts[1].target, entry("Glow"));
}

TEST_F(PopupCatalogueTest, ASessionWithoutAPlugInKeepsItsLines)
{
    write_bytes(local_ / L"effects_search.txt", "-Old Plugin\nop = Old Plugin # Glow\nGlow\n");
    write_bytes(local_ / L"effects_shortcuts.txt", "Old = Old Plugin\nGlo = Glow\n");
    popup();
    ASSERT_TRUE(popup().SaveEffectFiles());  // as the death hook does
    EXPECT_EQ(local_file(L"effects_search.txt"), "Glow\n-Old Plugin\nop = Old Plugin # Glow\n");
    EXPECT_EQ(local_file(L"effects_shortcuts.txt"), "Glo = Glow\nOld = Old Plugin\n");
}

TEST_F(PopupCatalogueTest, OversizedOrLockedListFilesLoseNothing)
{
    std::string huge(17u << 20, 'x');
    write_bytes(local_ / L"effects_search.txt", "Glow\n" + huge);
    write_bytes(local_ / L"effects_shortcuts.txt", "Glo = Glow\n");
    EXPECT_TRUE(popup().lists().aliases.empty());

    HANDLE holder = CreateFileW((local_ / L"effects_shortcuts.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    popup().CreateShortcut(entry("Blur"));
    EXPECT_FALSE(popup().SaveEffectFiles());
    CloseHandle(holder);
    EXPECT_EQ(local_file(L"effects_shortcuts.txt"), "Glo = Glow\n");

    // The oversized file was never read: saving keeps it aside instead of replacing it.
    EXPECT_TRUE(popup().SaveEffectFiles());
    EXPECT_EQ(local_file(L"effects_search.txt.too-large"), "Glow\n" + huge);
    // A second oversized file cannot take the same name: that save is refused and both stay.
    write_bytes(local_ / L"effects_search.txt", huge);
    EXPECT_FALSE(popup().SaveEffectFiles());
    EXPECT_EQ(local_file(L"effects_search.txt"), huge);
}
