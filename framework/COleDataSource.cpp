#include "framework/COleDataSource.h"

#include <shlobj.h>

#include <cstring>

#include "framework/COleDropSource.h"
#include "framework/CWnd.h"

namespace {

FORMATETC MakeFormat(CLIPFORMAT format, LPFORMATETC pFormatEtc)
{
    FORMATETC result = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    if (pFormatEtc) {
        // Only the aspect and index may differ: this object holds global memory only, and a
        // target device is never kept (it would have to be owned and freed).
        result.dwAspect = pFormatEtc->dwAspect ? pFormatEtc->dwAspect : static_cast<DWORD>(DVASPECT_CONTENT);
        result.lindex = pFormatEtc->lindex;
    }
    return result;
}

}  // namespace

COleDataSource::COleDataSource() = default;

COleDataSource::~COleDataSource()
{
    Empty();
}

HGLOBAL COleDataSource::CopyGlobal(HGLOBAL hSource)
{
    if (!hSource)
        return nullptr;
    const SIZE_T size = ::GlobalSize(hSource);
    if (size == 0)
        return nullptr;
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy)
        return nullptr;
    const void* from = ::GlobalLock(hSource);
    void* to = ::GlobalLock(copy);
    if (!from || !to) {
        if (from)
            ::GlobalUnlock(hSource);
        if (to)
            ::GlobalUnlock(copy);
        ::GlobalFree(copy);
        return nullptr;
    }
    std::memcpy(to, from, size);
    ::GlobalUnlock(copy);
    ::GlobalUnlock(hSource);
    return copy;
}

COleDataSource::Entry* COleDataSource::Find(CLIPFORMAT format)
{
    for (Entry& entry : m_entries) {
        if (entry.format.cfFormat == format)
            return &entry;
    }
    return nullptr;
}

const COleDataSource::Entry* COleDataSource::Find(CLIPFORMAT format) const
{
    for (const Entry& entry : m_entries) {
        if (entry.format.cfFormat == format)
            return &entry;
    }
    return nullptr;
}

COleDataSource::Entry& COleDataSource::EntryFor(CLIPFORMAT format, LPFORMATETC pFormatEtc)
{
    Entry* entry = Find(format);
    if (!entry) {
        m_entries.push_back(Entry{MakeFormat(format, pFormatEtc), nullptr});
        return m_entries.back();
    }
    entry->format = MakeFormat(format, pFormatEtc);
    return *entry;
}

void COleDataSource::CacheGlobalData(CLIPFORMAT format, HGLOBAL hGlobal, LPFORMATETC pFormatEtc)
{
    if (pFormatEtc && !(pFormatEtc->tymed & TYMED_HGLOBAL)) {
        // Not a medium this object can hand out; the block is still the caller's to free,
        // as it would be for any refused offer.
        return;
    }
    Entry& entry = EntryFor(format, pFormatEtc);
    if (entry.hGlobal && entry.hGlobal != hGlobal)
        ::GlobalFree(entry.hGlobal);
    entry.hGlobal = hGlobal;
}

void COleDataSource::DelayRenderData(CLIPFORMAT format, LPFORMATETC pFormatEtc)
{
    if (pFormatEtc && !(pFormatEtc->tymed & TYMED_HGLOBAL))
        return;
    Entry& entry = EntryFor(format, pFormatEtc);
    if (entry.hGlobal) {
        ::GlobalFree(entry.hGlobal);
        entry.hGlobal = nullptr;
    }
}

void COleDataSource::Empty()
{
    for (Entry& entry : m_entries) {
        if (entry.hGlobal)
            ::GlobalFree(entry.hGlobal);
    }
    m_entries.clear();
}

BOOL COleDataSource::IsOffered(CLIPFORMAT format) const
{
    return Find(format) ? TRUE : FALSE;
}

BOOL COleDataSource::IsCached(CLIPFORMAT format) const
{
    const Entry* entry = Find(format);
    return entry && entry->hGlobal ? TRUE : FALSE;
}

BOOL COleDataSource::OnRenderGlobalData(LPFORMATETC pFormatEtc, HGLOBAL* phGlobal)
{
    (void)pFormatEtc;
    (void)phGlobal;
    return FALSE;
}

DROPEFFECT COleDataSource::DoDragDrop(DWORD allowedEffects, LPCRECT startRect, COleDropSource* pDropSource)
{
    COleDropSource defaultSource;
    COleDropSource* source = pDropSource ? pDropSource : &defaultSource;
    if (startRect)
        source->m_rectStartDrag = *startRect;
    else
        ::SetRectEmpty(&source->m_rectStartDrag);

    if (!source->OnBeginDrag(CWnd::FromHandlePermanent(::GetCapture())))
        return DROPEFFECT_NONE;

    // The drag loop holds its own references; ours keeps the object alive throughout.
    AddRef();
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT hr = ::DoDragDrop(static_cast<IDataObject*>(this), static_cast<IDropSource*>(source),
                                    allowedEffects, &effect);
    Release();
    return hr == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}

// ---- IUnknown -----------------------------------------------------------------------------

STDMETHODIMP COleDataSource::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
        *ppv = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) COleDataSource::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_nRefs));
}

STDMETHODIMP_(ULONG) COleDataSource::Release()
{
    const LONG refs = ::InterlockedDecrement(&m_nRefs);
    if (refs == 0)
        delete this;
    return static_cast<ULONG>(refs > 0 ? refs : 0);
}

// ---- IDataObject --------------------------------------------------------------------------

STDMETHODIMP COleDataSource::GetData(FORMATETC* pFormatEtc, STGMEDIUM* pMedium)
{
    if (!pFormatEtc || !pMedium)
        return E_INVALIDARG;
    std::memset(pMedium, 0, sizeof(*pMedium));
    const HRESULT offered = QueryGetData(pFormatEtc);
    if (offered != S_OK)
        return offered;

    const CLIPFORMAT format = pFormatEtc->cfFormat;
    Entry* entry = Find(format);
    HGLOBAL data = nullptr;
    if (entry->hGlobal) {
        data = CopyGlobal(entry->hGlobal);
        if (!data)
            return E_OUTOFMEMORY;
    } else {
        FORMATETC request = entry->format;
        HGLOBAL rendered = nullptr;
        // The renderer may change the entries (cache the data it made): the entry pointer is
        // not used across the call.
        if (OnRenderGlobalData(&request, &rendered) && rendered) {
            data = rendered;
        } else {
            if (rendered)
                ::GlobalFree(rendered);
            return DV_E_FORMATETC;
        }
    }
    pMedium->tymed = TYMED_HGLOBAL;
    pMedium->hGlobal = data;
    pMedium->pUnkForRelease = nullptr;
    return S_OK;
}

STDMETHODIMP COleDataSource::GetDataHere(FORMATETC* pFormatEtc, STGMEDIUM* pMedium)
{
    (void)pFormatEtc;
    (void)pMedium;
    return E_NOTIMPL;
}

STDMETHODIMP COleDataSource::QueryGetData(FORMATETC* pFormatEtc)
{
    if (!pFormatEtc)
        return E_INVALIDARG;
    const Entry* entry = Find(pFormatEtc->cfFormat);
    if (!entry)
        return DV_E_FORMATETC;
    if (!(pFormatEtc->tymed & TYMED_HGLOBAL))
        return DV_E_TYMED;
    if (pFormatEtc->dwAspect != entry->format.dwAspect)
        return DV_E_DVASPECT;
    if (pFormatEtc->lindex != entry->format.lindex && pFormatEtc->lindex != -1)
        return DV_E_LINDEX;
    return S_OK;
}

STDMETHODIMP COleDataSource::GetCanonicalFormatEtc(FORMATETC* pFormatIn, FORMATETC* pFormatOut)
{
    if (!pFormatOut)
        return E_INVALIDARG;
    if (pFormatIn)
        *pFormatOut = *pFormatIn;
    pFormatOut->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

STDMETHODIMP COleDataSource::SetData(FORMATETC* pFormatEtc, STGMEDIUM* pMedium, BOOL fRelease)
{
    (void)pFormatEtc;
    (void)pMedium;
    (void)fRelease;
    return E_NOTIMPL;
}

STDMETHODIMP COleDataSource::EnumFormatEtc(DWORD direction, IEnumFORMATETC** ppEnum)
{
    if (!ppEnum)
        return E_INVALIDARG;
    *ppEnum = nullptr;
    if (direction != DATADIR_GET)
        return E_NOTIMPL;
    std::vector<FORMATETC> formats;
    formats.reserve(m_entries.size());
    for (const Entry& entry : m_entries)
        formats.push_back(entry.format);
    return ::SHCreateStdEnumFmtEtc(static_cast<UINT>(formats.size()), formats.empty() ? nullptr : formats.data(),
                                   ppEnum);
}

STDMETHODIMP COleDataSource::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

STDMETHODIMP COleDataSource::DUnadvise(DWORD)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

STDMETHODIMP COleDataSource::EnumDAdvise(IEnumSTATDATA**)
{
    return OLE_E_ADVISENOTSUPPORTED;
}
