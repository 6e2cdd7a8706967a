// A data object for the clipboard and OLE drag and drop, holding global-memory data by
// clipboard format. Each format is either cached (the object owns the block and hands a
// copy to every request) or offered for delayed rendering: the first request for it calls
// OnRenderGlobalData, which a derived class overrides to produce the data only when a
// target really asks for it.
//
// The object is reference counted as a COM object: it is created with one reference,
// which its creator releases with Release(); the last release deletes it.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <vector>

class COleDropSource;

// A set of DROPEFFECT_ flags.
using DROPEFFECT = DWORD;

class COleDataSource : public IDataObject
{
public:
    COleDataSource();
    COleDataSource(const COleDataSource&) = delete;
    COleDataSource& operator=(const COleDataSource&) = delete;

    // Offers a block in the given format; the data source owns it from now on and answers
    // every request with a copy. Replaces whatever the format had (a cached block is freed,
    // a delayed entry becomes cached). A format with details other than a plain HGLOBAL
    // (pFormatEtc not null) is accepted only when it asks for TYMED_HGLOBAL.
    void CacheGlobalData(CLIPFORMAT format, HGLOBAL hGlobal, LPFORMATETC pFormatEtc = nullptr);
    // Offers the format without data: OnRenderGlobalData produces it on request.
    void DelayRenderData(CLIPFORMAT format, LPFORMATETC pFormatEtc = nullptr);
    // Frees every cached block and forgets every format.
    void Empty();

    // Runs the system's modal drag loop with this data object. The drop source decides when
    // the drag starts (OnBeginDrag), goes on and ends; without one a plain COleDropSource is
    // used. startRect is the screen rectangle the cursor must leave before a waiting drop
    // source starts the drag (may be null). Returns the effect the target performed after a
    // drop, DROPEFFECT_NONE after a cancel, a refused drop or a source that did not start.
    DROPEFFECT DoDragDrop(DWORD allowedEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK,
                          LPCRECT startRect = nullptr, COleDropSource* pDropSource = nullptr);

    // Delayed rendering of one request: fill *phGlobal (null on entry) with a new block
    // that the caller will own and return TRUE, or return FALSE for no data. The base
    // renders nothing.
    virtual BOOL OnRenderGlobalData(LPFORMATETC pFormatEtc, HGLOBAL* phGlobal);

    // Whether the format is offered, cached or delayed.
    BOOL IsOffered(CLIPFORMAT format) const;
    // Whether the format holds a cached block.
    BOOL IsCached(CLIPFORMAT format) const;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDataObject
    STDMETHODIMP GetData(FORMATETC* pFormatEtc, STGMEDIUM* pMedium) override;
    STDMETHODIMP GetDataHere(FORMATETC* pFormatEtc, STGMEDIUM* pMedium) override;
    STDMETHODIMP QueryGetData(FORMATETC* pFormatEtc) override;
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC* pFormatIn, FORMATETC* pFormatOut) override;
    STDMETHODIMP SetData(FORMATETC* pFormatEtc, STGMEDIUM* pMedium, BOOL fRelease) override;
    STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** ppEnum) override;
    STDMETHODIMP DAdvise(FORMATETC* pFormatEtc, DWORD advf, IAdviseSink* pSink, DWORD* pConnection) override;
    STDMETHODIMP DUnadvise(DWORD connection) override;
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA** ppEnum) override;

    // A copy of a global block of the same size and content; null when the block is null
    // or memory runs out.
    static HGLOBAL CopyGlobal(HGLOBAL hSource);

protected:
    // Deleted only through the last Release.
    virtual ~COleDataSource();

private:
    struct Entry
    {
        FORMATETC format;
        HGLOBAL hGlobal;  // null for a delayed entry
    };
    Entry* Find(CLIPFORMAT format);
    const Entry* Find(CLIPFORMAT format) const;
    Entry& EntryFor(CLIPFORMAT format, LPFORMATETC pFormatEtc);

    LONG m_nRefs = 1;
    std::vector<Entry> m_entries;
};
