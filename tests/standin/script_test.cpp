#include "host/sdk/host_suites.h"
#include "standin/host.h"
#include "standin/preset_files.h"
#include "standin/text_codec.h"
#include "tests/support/standin_test_project.h"

#include <gtest/gtest.h>

namespace {

struct ScriptAnswer {
    A_Err error;
    std::string result;
    std::string error_text;
};

ScriptAnswer run_script(standin::Host& host, const std::string& script)
{
    const void* table = nullptr;
    host.basic_suite()->AcquireSuite(AEGP_UtilitySuite10::name, AEGP_UtilitySuite10::version, &table);
    auto utility = static_cast<const AEGP_UtilitySuite10*>(table);
    host.basic_suite()->AcquireSuite(AEGP_MemorySuite1::name, AEGP_MemorySuite1::version, &table);
    auto memory = static_cast<const AEGP_MemorySuite1*>(table);
    AEGP_MemHandle result = nullptr, error = nullptr;
    ScriptAnswer answer{utility->AEGP_ExecuteScript(standin::standin_plugin_id, script.c_str(), 0, &result, &error),
                        {}, {}};
    for (auto [handle, text] : {std::pair{result, &answer.result}, std::pair{error, &answer.error_text}}) {
        if (!handle)
            continue;
        void* bytes = nullptr;
        memory->AEGP_LockMemHandle(handle, &bytes);
        *text = static_cast<const char*>(bytes);
        memory->AEGP_UnlockMemHandle(handle);
        memory->AEGP_FreeMemHandle(handle);
    }
    host.basic_suite()->ReleaseSuite(AEGP_UtilitySuite10::name, AEGP_UtilitySuite10::version);
    host.basic_suite()->ReleaseSuite(AEGP_MemorySuite1::name, AEGP_MemorySuite1::version);
    return answer;
}

std::string forward_slashes(std::wstring path)
{
    for (wchar_t& c : path)
        if (c == L'\\')
            c = L'/';
    return standin::to_utf8(path);
}

TEST(StandinScript, PresetApplyNeedsForwardSlashesAnExistingFileAndALayer)
{
    standin::Host host(standin_test::test_project());
    host.call_entry([](SPBasicSuite*, A_long, A_long, AEGP_PluginID, AEGP_GlobalRefcon*) { return A_Err_NONE; },
                    115, 0);
    std::wstring preset = standin::host_presets_folder() + L"\\Standin Tests\\Fade In.ffx";
    std::string good = "app.project.activeItem.applyPreset(new File(\"" + forward_slashes(preset) + "\"));";
    ScriptAnswer applied = run_script(host, good);
    EXPECT_EQ(applied.error, A_Err_NONE) << applied.error_text;
    ASSERT_EQ(host.book().applications.size(), 1u);
    EXPECT_EQ(host.book().applications[0].name, "Fade In");
    EXPECT_TRUE(host.book().applications[0].is_preset);
    EXPECT_EQ(host.book().applications[0].route, standin::ApplyRoute::script);

    // Backslashes are escapes in a script string: the path no longer names the file.
    std::string backslashed = "app.project.activeItem.applyPreset(new File(\"" + standin::to_utf8(preset) + "\"));";
    EXPECT_NE(run_script(host, backslashed).error, A_Err_NONE);
    host.project().active_layer = -1;
    EXPECT_NE(run_script(host, good).error, A_Err_NONE);
    EXPECT_EQ(host.book().applications.size(), 1u);

    ASSERT_EQ(host.book().scripts.size(), 3u);
    EXPECT_EQ(host.book().scripts[1].text, backslashed);
    EXPECT_FALSE(host.book().scripts[1].succeeded);
}

TEST(StandinScript, BitsPerChannelAnswersAndAnythingElseIsAnErrorInTheErrorHandle)
{
    standin::Host host(standin_test::test_project());
    host.project().bits_per_channel = 32;
    ScriptAnswer bits = run_script(host, "app.project.bitsPerChannel");
    EXPECT_EQ(bits.error, A_Err_NONE);
    EXPECT_EQ(bits.result, "32");
    ScriptAnswer answer = run_script(host, "app.quit();");
    EXPECT_NE(answer.error, A_Err_NONE);
    EXPECT_TRUE(answer.result.empty());
    EXPECT_FALSE(answer.error_text.empty());
    // An unbalanced quote inside the path is a syntax error, not a file name.
    EXPECT_NE(run_script(host, "app.project.activeItem.applyPreset(new File(\"a\"b.ffx\"));").error, A_Err_NONE);
    ASSERT_EQ(host.book().scripts.size(), 3u);
    EXPECT_EQ(host.book().scripts[1].text, "app.quit();");
    EXPECT_EQ(host.book().live_mem_handles, 0);
}

}  // namespace
