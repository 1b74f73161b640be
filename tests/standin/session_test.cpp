#include "standin/session.h"

#include <gtest/gtest.h>

namespace {

using standin::SessionVerb;

TEST(StandinSession, EveryCommandIsParsed)
{
    auto commands = standin::parse_session(
        "# a comment\n"
        "idle\n"
        "idle 5\r\n"
        "   \n"
        "select Title Layer\n"
        "keys ctrl+shift+Space\n"
        "key escape\n"
        "type Gaussian # blur\n"
        "click 10 -20\n"
        "type  two blanks around \r\n"
        "drag 1 2 3 4\n"
        "key F12\n"
        "script shortcut 2.9 \"two words\"\n"
        "choose Fill & Stroke\n"
        "screenshot popup\n"
        "wait 250\n"
        "quit");
    ASSERT_EQ(commands.size(), 15u);
    EXPECT_EQ(commands[0].verb, SessionVerb::idle);
    EXPECT_EQ(commands[0].number, 1);
    EXPECT_EQ(commands[1].number, 5);
    EXPECT_EQ(commands[1].line, 3);
    EXPECT_EQ(commands[2].text, "Title Layer");
    EXPECT_EQ(commands[3].verb, SessionVerb::keys);
    EXPECT_EQ(commands[4].text, "escape");
    EXPECT_EQ(commands[5].text, "Gaussian # blur");
    EXPECT_EQ(commands[6].number, 10);
    EXPECT_EQ(commands[6].second, -20);
    EXPECT_EQ(commands[7].text, " two blanks around ");
    EXPECT_EQ(std::vector<int>({commands[8].number, commands[8].second, commands[8].third, commands[8].fourth}),
              std::vector<int>({1, 2, 3, 4}));
    EXPECT_EQ(commands[9].verb, SessionVerb::key);
    EXPECT_EQ(commands[10].text, "shortcut");
    EXPECT_EQ(commands[10].args, (std::vector<std::string>{"2.9", "two words"}));
    EXPECT_EQ(commands[11].text, "Fill & Stroke");
    EXPECT_EQ(commands[12].verb, SessionVerb::screenshot);
    EXPECT_EQ(commands[13].number, 250);
    EXPECT_EQ(commands[14].verb, SessionVerb::quit);
}

TEST(StandinSession, BadLinesFailNamingLineAndCause)
{
    auto message_of = [](const char* text) {
        try {
            standin::parse_session(text);
        } catch (const standin::SessionError& error) {
            return std::string(error.what());
        }
        return std::string("parsed");
    };
    EXPECT_EQ(message_of("idle\nfly away\n").find("line 2: unknown command \"fly\""), 0u);
    EXPECT_NE(message_of("idle -3").find("idle count"), std::string::npos);
    EXPECT_NE(message_of("idle 3x").find("line 1"), std::string::npos);
    EXPECT_NE(message_of("keys ctrl+").find("ctrl+space"), std::string::npos);
    EXPECT_NE(message_of("keys hyper+space").find("chord"), std::string::npos);
    EXPECT_NE(message_of("key f13").find("enter, escape"), std::string::npos);
    EXPECT_NE(message_of("click 10").find("X and Y"), std::string::npos);
    EXPECT_NE(message_of("drag 1 2 3").find("X1 Y1 X2 Y2"), std::string::npos);
    EXPECT_NE(message_of("screenshot ../escape").find("without folders"), std::string::npos);
    EXPECT_NE(message_of("select").find("needs a text"), std::string::npos);
    EXPECT_NE(message_of("wait").find("milliseconds"), std::string::npos);
    EXPECT_NE(message_of("quit now").find("no arguments"), std::string::npos);
    EXPECT_NE(message_of("script verb \"open").find("closing quote"), std::string::npos);
    EXPECT_NE(message_of("file there C:\\a.png").find("exists, absent or remove"), std::string::npos);
    EXPECT_NE(message_of("file exists").find("a path"), std::string::npos);
    EXPECT_NE(message_of("clipboard fill").find("\"empty\""), std::string::npos);
}

TEST(StandinSession, PressMoveAndReleaseTakeOnePointEach)
{
    auto commands = standin::parse_session("press 601 171\nmove -5 231\nrelease 601 231\n");
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(commands[0].verb, SessionVerb::press);
    EXPECT_EQ(commands[1].verb, SessionVerb::move);
    EXPECT_EQ(commands[2].verb, SessionVerb::release);
    EXPECT_EQ(std::vector<int>({commands[1].number, commands[1].second}), std::vector<int>({-5, 231}));
    EXPECT_EQ(std::vector<int>({commands[2].number, commands[2].second}), std::vector<int>({601, 231}));
    for (const char* bad : {"press 1", "move 1 2 3", "release"})
        EXPECT_THROW(standin::parse_session(bad), standin::SessionError) << bad;
}

TEST(StandinSession, FileAndClipboardCommandsKeepTheirPathAndState)
{
    auto commands = standin::parse_session(
        "file exists %TEMP%\\a b.png\nfile absent C:\\x\nfile remove y\nclipboard empty\nforeground Zephrin Image Gallery\n");
    ASSERT_EQ(commands.size(), 5u);
    EXPECT_EQ(commands[0].verb, SessionVerb::file);
    EXPECT_EQ(commands[0].text, "%TEMP%\\a b.png");
    EXPECT_EQ(std::vector<int>({commands[0].number, commands[1].number, commands[2].number}), std::vector<int>({1, 0, 2}));
    EXPECT_EQ(commands[3].verb, SessionVerb::clipboard);
    EXPECT_EQ(commands[4].text, "Zephrin Image Gallery");
}

}  // namespace
