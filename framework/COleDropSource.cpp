#include "framework/COleDropSource.h"

#include "framework/CWnd.h"

BOOL COleDropSource::OnBeginDrag(CWnd* pWnd)
{
    (void)pWnd;
    if (!(::GetKeyState(VK_LBUTTON) & 0x8000) && !(::GetAsyncKeyState(VK_LBUTTON) & 0x8000))
        return FALSE;
    if (::IsRectEmpty(&m_rectStartDrag))
        return TRUE;
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    return ::PtInRect(&m_rectStartDrag, cursor) ? FALSE : TRUE;
}

STDMETHODIMP COleDropSource::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropSource)) {
        *ppv = static_cast<IDropSource*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) COleDropSource::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_nRefs));
}

STDMETHODIMP_(ULONG) COleDropSource::Release()
{
    // The creator owns the object: the count never deletes it, and never goes below 0.
    const LONG refs = ::InterlockedDecrement(&m_nRefs);
    if (refs < 0) {
        ::InterlockedExchange(&m_nRefs, 0);
        return 0;
    }
    return static_cast<ULONG>(refs);
}

STDMETHODIMP COleDropSource::QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState)
{
    if (bEscapePressed)
        return DRAGDROP_S_CANCEL;
    if (!(dwKeyState & MK_LBUTTON))
        return DRAGDROP_S_DROP;
    return S_OK;
}

STDMETHODIMP COleDropSource::GiveFeedback(DWORD dropEffect)
{
    (void)dropEffect;
    return DRAGDROP_S_USEDEFAULTCURSORS;
}
