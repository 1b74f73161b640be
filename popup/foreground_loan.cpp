#include "popup/foreground_loan.h"

ForegroundLoan::ForegroundLoan(HWND borrower) : borrower_(borrower), lender_(GetForegroundWindow())
{
    SetForegroundWindow(borrower_);
}

ForegroundLoan::~ForegroundLoan()
{
    if (!borrower_ || IsWindowVisible(borrower_) || GetForegroundWindow() != borrower_)
        return;
    HWND back = lender_ && lender_ != borrower_ && IsWindow(lender_) && IsWindowVisible(lender_)
                    ? lender_
                    : GetWindow(borrower_, GW_OWNER);
    if (back)
        SetForegroundWindow(back);
}
