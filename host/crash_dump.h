#pragma once
#include <windows.h>

#include <string>

// Writes a minidump of the process into "<Documents>\Tarnwick\Error Logs" (the temporary folder when that
// cannot be made) and returns the message for the user: the support text with the dump's path, or, when no
// dump could be written, a text that says so. Called from the fault handler: it throws nothing.
std::string WriteCrashDump(DWORD exception_code, EXCEPTION_POINTERS* pointers) noexcept;
