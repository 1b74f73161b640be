#include <gtest/gtest.h>

#include "popup/effects_theme.h"
#include "preferences/preferences_alias_popup.h"
#include "preferences/preferences_effects_scroll_panel.h"
#include "preferences/preferences_list_events.h"
#include "preferences/preferences_record_list.h"
#include "tests/support/modal_script.h"
#include "tests/support/window_fixture.h"

using namespace qzsdk::ui;
using qzsdk::test::modal_script;
using qzsdk::test::post_key;
using qzsdk::test::post_text;

namespace {

class no_list_events : public PreferencesListEvents {
public:
    bool OnListEvent(const event_info&) override { return false; }
};

// The favourites row's own alias editing, answered by steps played into the popup it opens.
class alias_popup : public qzsdk::test::window_test {
protected:
    void SetUp() override
    {
        window_test::SetUp();
        show_without_focus();
        panel.show_label_column = true;
        panel.attach_to_window(&window.root(), rect{0, 0, 300, 200});
    }

    std::string edit(size_t row, std::wstring typed, UINT key = VK_RETURN, bool empty_first = false)
    {
        auto popup = [] { return FindWindowW(nullptr, L"Add Alias"); };
        modal_script script({[&] {
            if (empty_first)
                for (int i = 0; i < 8; ++i)
                    post_key(popup(), VK_BACK);
            post_text(popup(), typed);
            post_key(popup(), key);
        }});
        script.start();
        panel.rows()[row]->EditAlias();
        return favorites[row].text;
    }

    std::vector<EffectsTheme> themes = build_effects_themes();
    EffectEntry blur{1, "Gaussian Blur", "gaussian blur", "Blur", false};
    EffectEntry glow{2, "Glow", "glow", "Stylize", false};
    std::vector<EffectAlias> favorites{{"gaussian blur", &blur, nullptr}, {"gl", &glow, nullptr}};
    AliasRecordList records{&favorites};
    no_list_events events;
    PreferencesEffectsScrollPanel panel{&events, &records, false, &themes[0]};
};

}  // namespace

TEST_F(alias_popup, TypedWordIsStoredLowerCaseAndUnusableOrCancelledAnswersChangeNothing)
{
    EXPECT_EQ(edit(0, L"x", VK_ESCAPE), "gaussian blur");
    // A plain favourite starts empty, an alias with its word.
    EXPECT_EQ(edit(0, L"GB"), "gb");
    EXPECT_EQ(edit(0, L"C"), "gbc");
    // OK on an emptied field, words the list file cannot hold, another record's alias, blanks.
    EXPECT_EQ(edit(0, L"", VK_RETURN, true), "gbc");
    for (const wchar_t* typed : {L"a=b", L"x#y", L"GL", L"   "})
        EXPECT_EQ(edit(0, typed, VK_RETURN, true), "gbc");
    // Blanks around the word would be trimmed away by the file; they are not stored.
    EXPECT_EQ(edit(0, L" Gc ", VK_RETURN, true), "gc");
    std::wstring overlong(PreferencesAliasPopup::max_alias_length + 20, L'k');
    EXPECT_EQ(edit(1, overlong, VK_RETURN, true), std::string(PreferencesAliasPopup::max_alias_length, 'k'));
}
