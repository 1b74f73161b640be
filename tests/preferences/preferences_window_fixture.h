#pragma once
// A real preferences window over a popup of the test's own, with the test's effects and lists. The window is
// made, with its panels and their helper windows, before it is shown, as the popup makes it.
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "popup/effects_popup_window.h"
#include "preferences/preferences_popup_prompts.h"
#include "preferences/preferences_window.h"
#include "tests/support/effects_popup_window_test_api.h"
#include "tests/support/temp_folder.h"

class preferences_window_fixture : public testing::Test {
protected:
    explicit preferences_window_fixture(std::vector<EffectEntry> effects)
    {
        qzsdk::test::make_folder(local_.get());
        popup_ = std::make_unique<EffectsPopupWindow>(nullptr, &popup_settings_,
                                                      MakerFolders{local_.get(), common_.get()},
                                                      EffectsPopupWindowTestApi::refusing_news_server());
        popup_->SetEffects(std::move(effects));
    }

    const EffectEntry* entry(size_t i) const { return &popup_->entries()[i]; }
    // Over the lists as they are now.
    void make_window()
    {
        window_ = std::make_unique<PreferencesWindow>(nullptr, popup_->themes(), settings_, lists_, *popup_, prompts_);
    }

    qzsdk::test::temp_folder local_;
    qzsdk::test::temp_folder common_;
    PopupSettings popup_settings_;
    std::unique_ptr<EffectsPopupWindow> popup_;
    PopupSettings settings_;
    EffectLists lists_;
    PreferencesPopupPrompts prompts_;
    std::unique_ptr<PreferencesWindow> window_;
};
