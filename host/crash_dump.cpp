#include "host/crash_dump.h"

#include "host/product.h"
#include "host/module/version.h"
#include "toolkit/platform/file_system.h"
#include "toolkit/platform/path.h"
#include "toolkit/platform/special_folders.h"
#include "toolkit/platform/text.h"

#include <dbghelp.h>

#include <cwchar>

namespace {

qzsdk::path TempFolder()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH)
        return {};
    return qzsdk::path(std::wstring(buffer, length));
}

// "<base>\Tarnwick\Error Logs", made with every missing level; empty when it cannot be made.
std::wstring DumpFolder(const qzsdk::path& base)
{
    if (base.empty())
        return {};
    qzsdk::path folder = base.join(qzsdk::path::from_utf8(maker_name)).join(qzsdk::path(L"Error Logs"));
    if (!qzsdk::create_directories(folder))
        return {};
    return folder.wide();
}

// A new file named by the time, process and thread; a second dump in the same second gets "-2", "-3", ...
HANDLE CreateDumpFile(const std::wstring& folder, const SYSTEMTIME& time, std::wstring& path)
{
    wchar_t tag[64];
    std::swprintf(tag, 64, L"%hs_v%d.%d.%d", product_name, ZEPHRIN_VERSION_MAJOR, ZEPHRIN_VERSION_MINOR,
                  ZEPHRIN_VERSION_PATCH);
    wchar_t stem[512];
    std::swprintf(stem, 512, L"%ls\\%ls-%04d%02d%02d-%02d%02d%02d-%ld-%ld", folder.c_str(), tag, time.wYear,
                  time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond,
                  static_cast<long>(GetCurrentProcessId()), static_cast<long>(GetCurrentThreadId()));
    for (int attempt = 1; attempt <= 100; ++attempt) {
        path = stem;
        if (attempt > 1)
            path += L"-" + std::to_wstring(attempt);
        path += L".dmp";
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

// Only the faulting thread: its stack is what support reads, and the other threads only make the file big.
BOOL CALLBACK FaultingThreadOnly(void* faulting_thread, const PMINIDUMP_CALLBACK_INPUT input, PMINIDUMP_CALLBACK_OUTPUT)
{
    if (input->CallbackType == IncludeThreadCallback)
        return input->IncludeThread.ThreadId == *static_cast<DWORD*>(faulting_thread);
    return TRUE;
}

bool WriteDumpInto(const std::wstring& folder, const SYSTEMTIME& time, EXCEPTION_POINTERS* pointers,
                   std::wstring& path)
{
    if (folder.empty())
        return false;
    HANDLE file = CreateDumpFile(folder, time, path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD thread = GetCurrentThreadId();
    MINIDUMP_EXCEPTION_INFORMATION exception{thread, pointers, TRUE};
    MINIDUMP_CALLBACK_INFORMATION callback{&FaultingThreadOnly, &thread};
    // The writer needs the module list, not the modules' symbols: loading the debug information of every
    // module first (which some dbghelp builds do) takes seconds while the host waits.
    DWORD options = SymGetOptions();
    SymSetOptions(options | SYMOPT_DEFERRED_LOADS);
    BOOL written = MiniDumpWriteDump(GetCurrentProcess(), GetCurrentProcessId(), file, MiniDumpNormal,
                                     pointers ? &exception : nullptr, nullptr, &callback);
    SymSetOptions(options);
    CloseHandle(file);
    if (!written)
        DeleteFileW(path.c_str());
    return written;
}

}  // namespace

std::string WriteCrashDump(DWORD, EXCEPTION_POINTERS* pointers) noexcept
{
    try {
        SYSTEMTIME time;
        GetLocalTime(&time);
        std::wstring path;
        bool written = WriteDumpInto(DumpFolder(qzsdk::documents_folder()), time, pointers, path) ||
                       WriteDumpInto(DumpFolder(TempFolder()), time, pointers, path);
        if (written)
            return std::string("Please compress the following file and contact support (") + support_address +
                   "):\n\n" + qzsdk::wide_to_utf8(path);
        return std::string(product_name) + " has encountered an unrecoverable error and could not write a crash " +
               "report. Please contact support (" + support_address + ").";
    } catch (...) {
        return {};
    }
}
