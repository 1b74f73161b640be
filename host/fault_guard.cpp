#include "host/fault_guard.h"

#include "host/crash_dump.h"

#include <windows.h>

#include <stdexcept>
#include <string>

namespace {

thread_local int guard_depth = 0;
thread_local bool translating = false;
thread_local std::string translated_message;
void* handler_handle = nullptr;

HMODULE ModuleOf(const void* address)
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<LPCWSTR>(address), &module);
    return module;
}

bool IsHardwareFault(DWORD code)
{
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_FLT_STACK_CHECK:
    case EXCEPTION_FLT_UNDERFLOW:
        return true;
    default:
        return false;  // stack overflow included: there is no stack left to unwind on
    }
}

}  // namespace

extern "C" [[noreturn]] __attribute__((used)) void zephrin_raise_translated_fault()
{
    std::string message = std::move(translated_message);
    translating = false;
    throw std::runtime_error(message);
}

extern "C" void zephrin_fault_trampoline();

// Entered as if the faulting instruction had called it. A fault in a leaf function leaves the stack
// misaligned for a call, so the trampoline realigns it behind a frame pointer, which its unwind data
// names: the unwinder still walks from here through the faulting frame to the guard's catch.
asm(R"(
    .text
    .globl zephrin_fault_trampoline
    .def zephrin_fault_trampoline; .scl 2; .type 32; .endef
    .seh_proc zephrin_fault_trampoline
zephrin_fault_trampoline:
    push %rbp
    .seh_pushreg %rbp
    mov %rsp, %rbp
    .seh_setframe %rbp, 0
    .seh_endprologue
    and $-16, %rsp
    sub $32, %rsp
    call zephrin_raise_translated_fault
    int3
    .seh_endproc
)");

namespace {

LONG CALLBACK OnException(EXCEPTION_POINTERS* info)
{
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (guard_depth == 0 || translating || !IsHardwareFault(record->ExceptionCode))
        return EXCEPTION_CONTINUE_SEARCH;
    if (ModuleOf(record->ExceptionAddress) != ModuleOf(reinterpret_cast<const void*>(&OnException)))
        return EXCEPTION_CONTINUE_SEARCH;
    translating = true;
    translated_message = WriteCrashDump(record->ExceptionCode, info);
    CONTEXT* context = info->ContextRecord;
    // The return address points just past the fault's first byte, so the unwinder looks the faulting
    // instruction itself up in the frame's exception regions.
    context->Rsp -= sizeof(DWORD64);
    *reinterpret_cast<DWORD64*>(context->Rsp) = context->Rip + 1;
    context->Rip = reinterpret_cast<DWORD64>(&zephrin_fault_trampoline);
    return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

void FaultGuard::Enter()
{
    ++guard_depth;
}

void FaultGuard::Leave()
{
    --guard_depth;
}

void InstallFaultHandler()
{
    if (!handler_handle)
        handler_handle = AddVectoredExceptionHandler(1, &OnException);
}

void RemoveFaultHandler()
{
    if (handler_handle) {
        RemoveVectoredExceptionHandler(handler_handle);
        handler_handle = nullptr;
    }
}
