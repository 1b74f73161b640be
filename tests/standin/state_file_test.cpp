#include "standin/file_text.h"
#include "standin/host.h"
#include "standin/state_file.h"
#include "tests/support/standin_test_project.h"

#include <gtest/gtest.h>

// The layers' routes are held by the sample sessions' expectations; here, what could lose the file.
TEST(StandinStateFile, TextThatIsNotUtf8IsReplacedAndAMissingFolderThrows)
{
    standin::Host host(standin_test::test_project());
    host.apply_effect(2, standin::ApplyRoute::apply_effect);
    host.book().message_boxes.push_back({"Zephrin exception", "broken \xff"});
    nlohmann::json state = standin::bookkeeping_json(host.book(), host.project());
    EXPECT_EQ(state["layers"][0]["applied"][0]["name"], "Caf\xc3\xa9 Glow");

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring path = std::wstring(temp) + L"standin-state-test.json";
    ASSERT_NO_THROW(standin::write_json_file(path, state));
    auto read_back = nlohmann::json::parse(standin::read_text_file(path, "state"));
    EXPECT_EQ(read_back["message_boxes"][0]["text"], "broken \xef\xbf\xbd");
    DeleteFileW(path.c_str());
    EXPECT_THROW(standin::write_json_file(std::wstring(temp) + L"no such folder\\state.json", state),
                 std::runtime_error);
}
