#include "standin/file_text.h"
#include "standin/host.h"
#include "standin/state_file.h"
#include "tests/support/standin_test_project.h"

#include <gtest/gtest.h>

TEST(StandinStateFile, LayersListWhatWasAppliedInOrderWithItsRoute)
{
    standin::Host host(standin_test::test_project());
    host.apply_effect(0, standin::ApplyRoute::menu_command);
    host.apply_effect(2, standin::ApplyRoute::apply_effect);
    ASSERT_TRUE(host.project().select_layer("Shape"));
    host.apply_effect(1, standin::ApplyRoute::apply_effect);
    host.book().message_boxes.push_back({"Zephrin exception", "broken \xff"});

    nlohmann::json state = standin::bookkeeping_json(host.book(), host.project());
    ASSERT_EQ(state["layers"].size(), 2u);
    EXPECT_EQ(state["layers"][0]["name"], "Title");
    EXPECT_EQ(state["layers"][0]["composition"], "Comp 1");
    ASSERT_EQ(state["layers"][0]["applied"].size(), 2u);
    EXPECT_EQ(state["layers"][0]["applied"][0]["route"], "menu");
    EXPECT_EQ(state["layers"][0]["applied"][1]["name"], "Caf\xc3\xa9 Glow");
    EXPECT_EQ(state["layers"][0]["applied"][1]["route"], "ApplyEffect");
    EXPECT_EQ(state["layers"][1]["name"], "Shape");

    // Text that is not UTF-8 is replaced rather than losing the file.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring path = std::wstring(temp) + L"standin-state-test.json";
    ASSERT_NO_THROW(standin::write_json_file(path, state));
    auto read_back = nlohmann::json::parse(standin::read_text_file(path, "state"));
    EXPECT_EQ(read_back["layers"], state["layers"]);
    DeleteFileW(path.c_str());
    EXPECT_THROW(standin::write_json_file(std::wstring(temp) + L"no such folder\\state.json", state),
                 std::runtime_error);
}
