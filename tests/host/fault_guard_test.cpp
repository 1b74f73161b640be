#include "host/fault_guard.h"
#include "host/host_generation.h"
#include "tests/support/documents_redirect.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <dbghelp.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <stdexcept>
#include <vector>

namespace {

struct Flag {
    bool& destroyed;
    ~Flag() { destroyed = true; }
};

__attribute__((noinline)) int ReadThrough(volatile int* pointer)
{
    return *pointer;
}

std::string DumpPathIn(const std::string& message)
{
    size_t line = message.rfind('\n');
    return line == std::string::npos ? std::string() : message.substr(line + 1);
}

// Whether the dump holds the fault's code, the faulting thread and a module list.
void ExpectDumpOfTheFault(const std::string& path)
{
    std::string dump = qzsdk::test::read_bytes(qzsdk::path::from_utf8(path));
    ASSERT_EQ(dump.substr(0, 4), "MDMP") << path;
    void* stream = nullptr;
    ULONG size = 0;
    ASSERT_TRUE(MiniDumpReadDumpStream(dump.data(), ExceptionStream, nullptr, &stream, &size));
    auto* exception = static_cast<MINIDUMP_EXCEPTION_STREAM*>(stream);
    EXPECT_EQ(exception->ExceptionRecord.ExceptionCode, EXCEPTION_ACCESS_VIOLATION);
    EXPECT_EQ(exception->ThreadId, GetCurrentThreadId());
    ASSERT_TRUE(MiniDumpReadDumpStream(dump.data(), ThreadListStream, nullptr, &stream, &size));
    auto* threads = static_cast<MINIDUMP_THREAD_LIST*>(stream);
    bool faulting_thread = false;
    for (ULONG i = 0; i < threads->NumberOfThreads; ++i)
        faulting_thread |= threads->Threads[i].ThreadId == GetCurrentThreadId() &&
                           threads->Threads[i].Stack.Memory.DataSize > 0;
    EXPECT_TRUE(faulting_thread);
    ASSERT_TRUE(MiniDumpReadDumpStream(dump.data(), ModuleListStream, nullptr, &stream, &size));
    EXPECT_GT(static_cast<MINIDUMP_MODULE_LIST*>(stream)->NumberOfModules, 1u);
}

class FaultGuardTest : public testing::Test {
protected:
    void SetUp() override { InstallFaultHandler(); }
    void TearDown() override { RemoveFaultHandler(); }

    qzsdk::test::documents_redirect documents;
};

}  // namespace

TEST_F(FaultGuardTest, AccessViolationBecomesAnExceptionWithADumpAndUnwinds)
{
    bool destroyed = false;
    std::string message;
    try {
        FaultGuard guard;
        Flag flag{destroyed};
        ReadThrough(nullptr);
        FAIL() << "the fault did not surface";
    } catch (const std::runtime_error& error) {
        message = error.what();
    }
    EXPECT_TRUE(destroyed) << "destructors between the fault and the catch must run";
    EXPECT_EQ(message.rfind("Please compress the following file and contact support (", 0), 0u) << message;

    std::string path = DumpPathIn(message);
    std::regex name(R"(.*\\Tarnwick\\Error Logs\\Zephrin_v1\.0\.118-\d{8}-\d{6}-\d+-\d+\.dmp)");
    EXPECT_TRUE(std::regex_match(path, name)) << path;
    EXPECT_EQ(path.rfind(documents.get().to_utf8(), 0), 0u) << path;
    ExpectDumpOfTheFault(path);

    // The process goes on, and the guard is gone with its scope.
    volatile int value = 7;
    EXPECT_EQ(ReadThrough(&value), 7);
}

TEST_F(FaultGuardTest, ADumpOfTheSameSecondDoesNotOverwriteAnEarlierOne)
{
    // Stand in for earlier dumps of this thread at every second of the next half minute.
    std::string folder = documents.get().to_utf8() + "\\Tarnwick\\Error Logs";
    qzsdk::test::make_folder(qzsdk::path::from_utf8(folder));
    std::vector<std::string> earlier;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    for (int second = 0; second < 30; ++second) {
        ULARGE_INTEGER ticks{{now.dwLowDateTime, now.dwHighDateTime}};
        ticks.QuadPart += second * 10'000'000ULL;
        FILETIME utc{ticks.LowPart, ticks.HighPart}, local;
        SYSTEMTIME t;
        FileTimeToLocalFileTime(&utc, &local);
        FileTimeToSystemTime(&local, &t);
        char name[512];
        std::snprintf(name, sizeof name, "%s\\Zephrin_v1.0.118-%04d%02d%02d-%02d%02d%02d-%ld-%ld.dmp", folder.c_str(),
                      t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, GetCurrentProcessId(),
                      GetCurrentThreadId());
        std::ofstream(name) << "earlier";
        earlier.push_back(name);
    }

    std::string message;
    try {
        FaultGuard guard;
        ReadThrough(nullptr);
    } catch (const std::runtime_error& error) {
        message = error.what();
    }
    std::string path = DumpPathIn(message);
    EXPECT_TRUE(path.size() > 6 && path.substr(path.size() - 6) == "-2.dmp") << path;
    for (const std::string& name : earlier) {
        std::string text;
        std::ifstream(name) >> text;
        EXPECT_EQ(text, "earlier") << name;
    }
}

TEST_F(FaultGuardTest, IntegerDivisionByZeroIsTranslatedToo)
{
    volatile int zero = 0;
    EXPECT_THROW(
        {
            FaultGuard guard;
            volatile int result = 10 / zero;
            (void)result;
        },
        std::runtime_error);
}

TEST(HostGeneration, CodesByHostVersion)
{
    struct Case {
        int major, minor;
        uint32_t code;
    };
    for (Case c : {Case{115, 0, 0}, Case{114, 9, 1}, Case{113, 5, 2}, Case{113, 4, 3}, Case{112, 0, 4},
                   Case{116, 0, 7}, Case{18, 0, 7}})
        EXPECT_EQ(HostGenerationCode(c.major, c.minor), c.code) << c.major << "." << c.minor;
    EXPECT_TRUE(IsUnsupportedHost(111));
    EXPECT_TRUE(IsUnsupportedHost(17));
    EXPECT_FALSE(IsUnsupportedHost(115));
}
