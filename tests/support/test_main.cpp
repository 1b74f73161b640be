#include <gtest/gtest.h>
#include <ole2.h>

// Every test program runs on an OLE-initialised UI thread, as the host's own thread is. The news check goes
// to a closed port on loopback unless a case starts a server of its own, and any request off loopback ends
// the program (the module reads both variables once, so they are set before anything runs).
int main(int argc, char** argv)
{
    SetEnvironmentVariableW(L"ZEPHRIN_NEWS_SERVER", L"127.0.0.1:1");
    SetEnvironmentVariableW(L"ZEPHRIN_NEWS_LOOPBACK_ONLY", L"1");
    OleInitialize(nullptr);
    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    OleUninitialize();
    return result;
}
