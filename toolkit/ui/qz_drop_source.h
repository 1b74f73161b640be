#pragma once
// The source side of a drag that starts in the program: drops on release of the left button,
// cancels on Escape, and leaves the cursors to the system.
#include <ole2.h>

namespace qzsdk::ui {

class QZDropSource : public IDropSource {
public:
    // Made with one reference, which the caller releases.
    static QZDropSource* create() { return new QZDropSource(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape_pressed, DWORD key_state) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

private:
    QZDropSource() = default;
    virtual ~QZDropSource() = default;

    LONG references_ = 1;
};

}  // namespace qzsdk::ui
