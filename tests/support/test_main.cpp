#include <gtest/gtest.h>
#include <ole2.h>

#include <cstdio>

#include "tests/support/program_threads.h"
#include "toolkit/platform/thread_pool.h"

// Every test program runs on an OLE-initialised UI thread, as the host's own thread is. The news check goes
// to a closed port on loopback unless a case starts a server of its own, and any request off loopback ends
// the program (the module reads both variables once, so they are set before anything runs).
//
// At its end the program ends its own threads, as the module's death hook does: at the exit Wine signals every
// thread still alive and kills a process whose threads have not gone about a second later, which on a starved
// processor they may not have. A thread left running is told, and fails the program.
//
// Its last line, printed as its final act, tells a program that ended its own way from one killed from outside,
// which Wine reports as exit code 0 too (cmake/run-test-group.sh).
int main(int argc, char** argv)
{
    SetEnvironmentVariableW(L"ZEPHRIN_NEWS_SERVER", L"127.0.0.1:1");
    SetEnvironmentVariableW(L"ZEPHRIN_NEWS_LOOPBACK_ONLY", L"1");
    OleInitialize(nullptr);
    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    qzsdk::thread_pool::instance().shutdown();
    OleUninitialize();
    const std::vector<std::string> left = qzsdk::test::threads_left_at_end(20000);
    for (const std::string& thread : left)
        std::fprintf(stderr, "still running at the program's end: %s\n", thread.c_str());
    const int code = left.empty() ? result : 1;
    std::printf("test program: main returns %d\n", code);
    std::fflush(stdout);
    return code;
}
