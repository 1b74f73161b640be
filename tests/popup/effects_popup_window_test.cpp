#include "popup/effects_popup_window.h"
#include "popup/effects_warning_popup.h"
#include "toolkit/ui/native_window.h"
#include "toolkit/ui/window_procedure.h"

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
    EXPECT_EQ(popup().lists().shortcuts[1].label, "\xC3\x89ti");  // three characters, not three bytes
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

// Ends every warning the popup shows, keeping their texts.
struct WarningCatcher {
    WarningCatcher() { timer = SetTimer(nullptr, 0, 20, &Tick); }
    ~WarningCatcher() { KillTimer(nullptr, timer); }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        EnumThreadWindows(GetCurrentThreadId(), [](HWND handle, LPARAM) -> BOOL {
            wchar_t class_name[64] = {};
            GetClassNameW(handle, class_name, 64);
            if (qzsdk::ui::window_class_name() != class_name)
                return TRUE;
            auto* holder = reinterpret_cast<qzsdk::ui::native_window*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
            auto* warning = holder ? dynamic_cast<EffectsWarningPopup*>(holder->owner_window()) : nullptr;
            if (warning && warning->is_visible()) {
                texts.emplace_back(warning->text());
                warning->end_modal(0);
            }
            return TRUE;
        }, 0);
    }
    UINT_PTR timer = 0;
    static inline std::vector<std::string> texts;
};

TEST_F(PopupCatalogueTest, ListFilesAreReadInUtf16AndNeverSavedOverWhenUnreadable)
{
    using namespace std::string_literals;
    const std::string readable[] = {"\xFF\xFEG\0l\0o\0w\0\n\0"s, "\xFE\xFF\0G\0l\0o\0w\0\n"s};
    const struct {
        std::string bytes;
        bool locked;
        size_t aliases_read;
    } cases[] = {{readable[0], false, 1},
                 {readable[1], false, 1},
                 {"Glow\n", true, 0},
                 {"Glow\n\0Blur\n"s, false, 1},
                 {"Glow\n" + std::string(17u << 20, 'x'), false, 0},
                 {"\xFF\xFEG\0\0\xD8"s, false, 0}};
    for (const auto& test : cases) {
        SCOPED_TRACE(test.bytes.substr(0, 12));
        const bool is_text = test.bytes == readable[0] || test.bytes == readable[1];
        temp_folder local;
        write_bytes(local / L"effects_search.txt", test.bytes);
        HANDLE holder = test.locked ? CreateFileW((local / L"effects_search.txt").c_str(), GENERIC_READ, 0, nullptr,
                                                  OPEN_EXISTING, 0, nullptr)
                                    : INVALID_HANDLE_VALUE;
        EffectsPopupWindow popup(nullptr, &settings_, MakerFolders{local.get(), common_.get()},
                                 EffectsPopupWindowTestApi::refusing_news_server());
        popup.SetEffects(catalogue());
        EXPECT_EQ(popup.lists().aliases.size(), test.aliases_read);
        if (holder != INVALID_HANDLE_VALUE)
            CloseHandle(holder);
        WarningCatcher catcher;
        WarningCatcher::texts.clear();
        popup.AddToList(&popup.entries()[2], false);
        popup.AddToList(&popup.entries()[2], true);
        EXPECT_EQ(popup.SaveEffectFiles(), is_text);
        EXPECT_EQ(read_bytes(local / L"effects_search.txt"), is_text ? "-Blur\nGlow\nBlur\n" : test.bytes);
        // Saying so once is enough.
        EXPECT_EQ(WarningCatcher::texts.size(), is_text ? 0u : 1u);
        if (!is_text && !WarningCatcher::texts.empty()) {
            EXPECT_NE(WarningCatcher::texts[0].find("\"effects_search.txt\""), std::string::npos);
        }
    }
}
