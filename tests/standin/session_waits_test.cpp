// What a session does while it waits and around the files it names: the host keeps idling during every
// wait, a missing file is removed whether or not its folder is there, and a blocked path is given back as it
// was when the session ends.
#include "standin/host.h"
#include "standin/session_runner.h"
#include "standin/text_codec.h"
#include "tests/support/idle_hook_entry.h"
#include "tests/support/standin_test_project.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using qzsdk::test::read_bytes;

// Written by the idle hook: only an idle call during the wait lets a wait for it end.
std::wstring file_made_at_idle;

A_Err idle_hook(AEGP_GlobalRefcon, AEGP_IdleRefcon, A_long*)
{
    if (!file_made_at_idle.empty())
        qzsdk::test::write_bytes(qzsdk::path(file_made_at_idle), "made at idle");
    return A_Err_NONE;
}

class StandinSessionWaits : public testing::Test {
protected:
    void TearDown() override { file_made_at_idle.clear(); }

    bool run(const std::wstring& session)
    {
        host_.call_entry(&standin_test::idle_hook_entry<&idle_hook>, 115, 0);
        runner_ = std::make_unique<standin::SessionRunner>(host_, L"");
        return runner_->run(standin::parse_session(standin::to_utf8(session)));
    }

    std::string failures() const
    {
        std::string text;
        for (const standin::SessionFailure& failure : runner_->failures())
            text += "line " + std::to_string(failure.line) + ": " + failure.message + "\n";
        return text;
    }

    qzsdk::test::temp_folder folder_;
    standin::Host host_{standin_test::test_project(), true};
    std::unique_ptr<standin::SessionRunner> runner_;
};

// Without an idle call the file never comes and the wait fails after its 20 s.
TEST_F(StandinSessionWaits, TheHostIdlesWhileACommandWaits)
{
    file_made_at_idle = (folder_ / L"told.txt").wide();
    EXPECT_TRUE(run(L"file exists " + file_made_at_idle + L"\n")) << failures();
    EXPECT_GT(host_.book().idle_calls, 0);
}

TEST_F(StandinSessionWaits, RemovingAMissingFileSucceedsWhetherOrNotItsFolderIsThere)
{
    EXPECT_TRUE(run(L"file remove " + (folder_ / L"absent.png").wide() + L"\nfile remove " +
                    (folder_ / L"no folder\\absent.png").wide() + L"\n"))
        << failures();
}

TEST_F(StandinSessionWaits, ABlockedFolderIsAFileUntilTheSessionEnds)
{
    const qzsdk::path kept = folder_ / L"Capture";
    qzsdk::test::make_folder(kept);
    qzsdk::test::write_bytes(kept.join(L"earlier.png"), "earlier");
    const qzsdk::path fresh = folder_ / L"made\\Capture";
    EXPECT_TRUE(run(L"file block " + kept.wide() + L"\nfile block " + fresh.wide() + L"\nfile exists " + kept.wide() +
                    L"\nfile exists " + fresh.wide() + L"\n"))
        << failures();
    ASSERT_EQ(runner_->file_checks().size(), 2u);
    EXPECT_EQ(runner_->file_checks()[0].format, "other") << "a plain file stood there";
    EXPECT_EQ(runner_->file_checks()[1].format, "other");
    EXPECT_EQ(read_bytes(kept.join(L"earlier.png")), "earlier") << "the folder is back with what it held";
    EXPECT_EQ(GetFileAttributesW(fresh.wide().c_str()), INVALID_FILE_ATTRIBUTES) << "nothing was there before";
    EXPECT_EQ(GetFileAttributesW((kept.wide() + L".standin-aside").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
