#include "toolkit/platform/shell.h"

#include <gtest/gtest.h>

#include <vector>

using namespace qzsdk;

namespace {

class ShellLaunches : public testing::Test {
protected:
    void SetUp() override
    {
        previous_ = set_shell_launcher([this](const shell_request& request) { requests_.push_back(request); });
    }
    void TearDown() override { set_shell_launcher(std::move(previous_)); }

    std::vector<shell_request> requests_;

private:
    shell_launcher previous_;
};

}  // namespace

TEST_F(ShellLaunches, OpenAndRevealAskTheShellForTheRightVerbFileAndParameters)
{
    shell_open("https://example.invalid/news?x=1");
    shell_reveal(path::from_utf8("C:/Captures/Caf\xC3\xA9 shot.png"));
    shell_open("");
    shell_reveal(path());
    ASSERT_EQ(requests_.size(), 2u);
    EXPECT_EQ(requests_[0].verb, L"open");
    EXPECT_EQ(requests_[0].file, L"https://example.invalid/news?x=1");
    EXPECT_EQ(requests_[0].parameters, L"");
    EXPECT_EQ(requests_[1].verb, L"open");
    EXPECT_EQ(requests_[1].file, L"explorer.exe");
    EXPECT_EQ(requests_[1].parameters, L"/select,\"C:\\Captures\\Caf\u00E9 shot.png\"");
}
