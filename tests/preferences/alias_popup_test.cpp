#include <gtest/gtest.h>

#include <memory>

#include "popup/effects_theme.h"
#include "preferences/preferences_alias_popup.h"
#include "preferences/preferences_list_editing.h"
#include "tests/support/modal_script.h"
#include "tests/support/window_fixture.h"
#include "toolkit/ui/event_id.h"
#include "toolkit/ui/event_manager.h"

using namespace qzsdk::ui;
using qzsdk::test::modal_script;
using qzsdk::test::post_click;
using qzsdk::test::post_key;
using qzsdk::test::post_text;

namespace {

class alias_popup : public qzsdk::test::window_test {
protected:
    void SetUp() override
    {
        window_test::SetUp();
        show_without_focus();
        blur = EffectEntry{1, "Gaussian Blur", "gaussian blur", "Blur", false};
        glow = EffectEntry{2, "Glow", "glow", "Stylize", false};
        favorites = {EffectAlias{"gaussian blur", &blur, nullptr}, EffectAlias{"gl", &glow, nullptr}};
    }

    // Opens the popup over the record as a favourites row does and stores an accepted answer.
    int32_t edit(EffectAlias& record, std::vector<std::function<void()>> steps, std::string* shown = nullptr)
    {
        std::string initial = record.text == record.target->match_name ? std::string() : record.text;
        PreferencesAliasPopup popup(&window, initial);
        popup.ApplyTheme(&themes[0]);
        if (shown)
            *shown = popup.input.get_text();
        handle_ = popup.handle();
        modal_script script(std::move(steps));
        int32_t result = script.run(popup);
        if (result == 1)
            SetAlias(favorites, record, popup.input.get_text());
        return result;
    }

    std::vector<EffectsTheme> themes = build_effects_themes();
    EffectEntry blur;
    EffectEntry glow;
    std::vector<EffectAlias> favorites;
    HWND handle_ = nullptr;
};

}  // namespace

TEST_F(alias_popup, TypedWordIsStoredLowerCaseAndEmptyOrCancelledAnswersChangeNothing)
{
    std::string shown = "x";
    EXPECT_EQ(edit(favorites[0], {[&] { post_text(handle_, L"GB"); }, [&] { post_key(handle_, VK_RETURN); }},
                   &shown),
              1);
    EXPECT_EQ(shown, "");
    EXPECT_EQ(favorites[0].text, "gb");

    EXPECT_EQ(edit(favorites[0], {[&] { post_text(handle_, L"x"); }, [&] { post_key(handle_, VK_ESCAPE); }},
                   &shown),
              0);
    EXPECT_EQ(shown, "gb");
    EXPECT_EQ(favorites[0].text, "gb");

    // OK on an emptied field keeps the alias.
    EXPECT_EQ(edit(favorites[0],
                   {[&] { post_key(handle_, VK_BACK); }, [&] { post_key(handle_, VK_BACK); },
                    [&] { post_click(handle_, 40, 55); }}),
              1);
    EXPECT_EQ(favorites[0].text, "gb");

    EXPECT_EQ(edit(favorites[0], {[&] { post_text(handle_, L"q"); }, [&] { post_click(handle_, 200, 55); }}), 0);
    EXPECT_EQ(favorites[0].text, "gb");
}

TEST_F(alias_popup, AnswersTheListFileCannotHoldOrThatDuplicateAnAliasAreRefused)
{
    for (const wchar_t* typed : {L"a=b", L"x#y", L"GL", L"   "}) {
        EXPECT_EQ(edit(favorites[0], {[&] { post_text(handle_, typed); }, [&] { post_key(handle_, VK_RETURN); }}), 1);
        EXPECT_EQ(favorites[0].text, "gaussian blur");
    }
    // Blanks around the word would be trimmed away by the file; they are not stored.
    EXPECT_EQ(edit(favorites[0], {[&] { post_text(handle_, L" Gb "); }, [&] { post_key(handle_, VK_RETURN); }}), 1);
    EXPECT_EQ(favorites[0].text, "gb");
}

TEST_F(alias_popup, OverlongTypingStopsAtTheLimit)
{
    std::wstring typed(PreferencesAliasPopup::max_alias_length + 20, L'k');
    EXPECT_EQ(edit(favorites[0], {[&] { post_text(handle_, typed); }, [&] { post_key(handle_, VK_RETURN); }}), 1);
    EXPECT_EQ(favorites[0].text, std::string(PreferencesAliasPopup::max_alias_length, 'k'));
}

TEST_F(alias_popup, PopupDestroyedInsideItsOwnOkHandlerStillAnswers)
{
    auto popup = std::make_unique<PreferencesAliasPopup>(&window, "gb");
    HWND handle = popup->handle();
    std::string answer;
    event_manager::instance().connect(&popup->ok_button, &popup->ok_button, event_id::activated,
                                      [&](const event_info&) {
                                          answer = popup->input.get_text();
                                          popup.reset();
                                      });
    modal_script script({[&] { post_click(handle, 40, 55); }});
    PreferencesAliasPopup* raw = popup.get();
    EXPECT_EQ(script.run(*raw), 1);
    EXPECT_EQ(popup, nullptr);
    EXPECT_EQ(answer, "gb");
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_TRUE(IsWindowEnabled(window.handle()));
}
