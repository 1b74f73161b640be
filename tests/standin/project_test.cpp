#include "standin/project.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(StandinProjectFile, MalformedProjectsAreRefusedWithTheirFault)
{
    auto message_of = [](const char* text) {
        try {
            standin::parse_project(text);
        } catch (const std::runtime_error& error) {
            return std::string(error.what());
        }
        return std::string("parsed");
    };
    EXPECT_NE(message_of("{\"name\": ").find("not valid JSON"), std::string::npos);
    EXPECT_NE(message_of("[]").find("object"), std::string::npos);
    EXPECT_NE(message_of("{\"bits_per_channel\": 12}").find("8, 16 or 32"), std::string::npos);
    EXPECT_NE(message_of("{\"effects\": [{\"category\": \"x\"}]}").find("\"name\""), std::string::npos);
    EXPECT_NE(message_of("{\"host_presets\": [\"../../evil.ffx\"]}").find("inside"), std::string::npos);
    EXPECT_NE(message_of("{\"items\": [{\"name\": \"C\", \"layers\": [{\"name\": \"L\", \"type\": \"ghost\"}]}]}")
                  .find("\"type\""),
              std::string::npos);
    EXPECT_NE(message_of("{\"items\": [{\"name\": \"C\", \"layers\": [{\"name\": \"L\", \"source\": \"X\"}]}]}")
                  .find("no item named \"X\""),
              std::string::npos);
    EXPECT_NE(message_of("{\"items\": [{\"name\": \"C\", \"width\": 0}]}").find("width"), std::string::npos);
    EXPECT_NE(message_of("{\"active_layer\": \"nobody\"}").find("nobody"), std::string::npos);
    EXPECT_NE(message_of("{\"news_server\": \"\"}").find("news_server"), std::string::npos);
    EXPECT_EQ(message_of("{}"), "parsed");
}

TEST(StandinProjectFile, FileIsReadByItsWidePath)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring path = std::wstring(temp) + L"standin projet \u00e9t\u00e9.json";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const char text[] = "{\"name\": \"\xc3\xa9t\xc3\xa9.aep\"}";
    DWORD written = 0;
    WriteFile(file, text, sizeof(text) - 1, &written, nullptr);
    CloseHandle(file);
    EXPECT_EQ(standin::load_project_file(path).name, "\xc3\xa9t\xc3\xa9.aep");
    DeleteFileW(path.c_str());
    EXPECT_THROW(standin::load_project_file(path), std::runtime_error);
}

}  // namespace
