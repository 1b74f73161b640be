#pragma once
#include <windows.h>

// Makes a window the foreground for a while (a menu tracked by a hidden window closes on a click elsewhere
// only then) and, when that window is still hidden and in front at the end, gives the foreground back to
// the window that had it, or else to its owner: keys typed next must not reach a window nobody sees.
class ForegroundLoan {
public:
    explicit ForegroundLoan(HWND borrower);
    ~ForegroundLoan();
    ForegroundLoan(const ForegroundLoan&) = delete;
    ForegroundLoan& operator=(const ForegroundLoan&) = delete;

private:
    HWND borrower_;
    HWND lender_;
};
