#pragma once

// While a FaultGuard lives on a thread, a hardware fault (access violation and the like) raised by this
// module's code on that thread writes a crash dump and continues as a std::runtime_error carrying the
// support message, so destructors run and the error reaches the error box instead of killing the host.
// Faults elsewhere, on unguarded threads, and stack overflows are left to the host.
class FaultGuard {
public:
    FaultGuard() { Enter(); }
    ~FaultGuard() { Leave(); }
    FaultGuard(const FaultGuard&) = delete;
    FaultGuard& operator=(const FaultGuard&) = delete;

    // For scopes that are not C++ blocks of ours (the toolkit's window procedures).
    static void Enter();
    static void Leave();
};

// The process-wide handler behind the guards. Installing twice is harmless; it must be removed before the
// module unloads.
void InstallFaultHandler();
void RemoveFaultHandler();
