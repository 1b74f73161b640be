#include "standin/project.h"

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

}  // namespace
