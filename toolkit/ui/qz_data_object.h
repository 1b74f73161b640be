#pragma once
// The data of a drag that starts in the program: a fixed set of formats, each with its medium. The
// creator keeps the media: this object frees only its own copies of the two arrays, and hands every
// receiver a private copy of a block.
#include <ole2.h>

#include <vector>

namespace qzsdk::ui {

class QZDataObject : public IDataObject {
public:
    // Made with one reference, which the caller releases. The media must outlive the object.
    static QZDataObject* create(const FORMATETC* formats, const STGMEDIUM* media, int count);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* format, FORMATETC* canonical) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advisers) override;

private:
    QZDataObject(const FORMATETC* formats, const STGMEDIUM* media, int count);
    virtual ~QZDataObject() = default;

    // The index of the first stored format that serves the request, or -1.
    int find(const FORMATETC* format) const;

    LONG references_ = 1;
    std::vector<FORMATETC> formats_;
    std::vector<STGMEDIUM> media_;
};

}  // namespace qzsdk::ui
